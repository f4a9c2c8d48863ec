#include "wizard/ImportTree.h"

#include <algorithm>

namespace vialto {

void ImportTree::AddRoot(const std::string &key, const std::string &text) {
    nodes_.push_back({key, "", text, 0, "", text});
}

void ImportTree::AddNode(const std::string &rootKey, const std::string &key,
                         const std::string &text, int image, const std::string &caption) {
    const std::string full = ChildKey(rootKey, key);
    const std::string shown = caption.empty() ? text : caption;
    if (ImportTreeNode *existing = FindNode(full)) {
        existing->Text = text;
        existing->Image = image;
        existing->Caption = shown;
        return;
    }
    nodes_.push_back({full, rootKey, text, image, "", shown});
}

void ImportTree::SetImage(const std::string &rootKey, const std::string &key, int image) {
    if (ImportTreeNode *node = FindNode(ChildKey(rootKey, key)))
        node->Image = image;
}

void ImportTree::SetReason(const std::string &rootKey, const std::string &key,
                           const std::string &reason) {
    if (ImportTreeNode *node = FindNode(ChildKey(rootKey, key)))
        node->Reason = reason;
}

const ImportTreeNode *ImportTree::Find(const std::string &rootKey, const std::string &key) const {
    const std::string full = ChildKey(rootKey, key);
    for (const ImportTreeNode &node : nodes_)
        if (node.Key == full)
            return &node;
    return nullptr;
}

ImportTreeNode *ImportTree::FindNode(const std::string &fullKey) {
    for (ImportTreeNode &node : nodes_)
        if (node.Key == fullKey)
            return &node;
    return nullptr;
}

bool ImportTree::IsAllOk() const {
    return std::none_of(nodes_.begin(), nodes_.end(),
                        [](const ImportTreeNode &n) { return n.Image == kImageFailed; });
}

} // namespace vialto
