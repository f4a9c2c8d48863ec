// The import tree that the importing page draws: one branch per input-file
// page ("PAGE1".."PAGE3"), one leaf per imported file ("Hz", "Vt", "Cr"),
// each with an image (1 imported and within tolerance, 2 failed), the reason
// of a failure, a caption that says what the item is ("Horizontal alignment:
// road", "Vertical alignment: generated from the centre line"), and under a
// failed leaf the alignments that failed their check. It is data: the Qt
// page and the command line each draw it their own way.
#pragma once

#include <string>
#include <vector>

namespace vialto {

inline constexpr int kImageOk = 1;
inline constexpr int kImageFailed = 2;

struct ImportTreeNode {
    std::string Key;       // full key: a child's key is the root key + "|" + its own key
    std::string ParentKey; // "" for a branch
    std::string Text;      // a leaf: the file's display name (the check report is found by it)
    int Image = 0;
    std::string Reason;  // why the item failed, when it failed
    std::string Caption; // what to show for a leaf: what the item is and its text
};

class ImportTree {
  public:
    void DeleteAllNodes() { nodes_.clear(); }
    void AddRoot(const std::string &key, const std::string &text);
    void AddNode(const std::string &rootKey, const std::string &key, const std::string &text,
                 int image = 0, const std::string &caption = {});
    void SetImage(const std::string &rootKey, const std::string &key, int image);
    void SetReason(const std::string &rootKey, const std::string &key, const std::string &reason);
    // The node, or nullptr.
    const ImportTreeNode *Find(const std::string &rootKey, const std::string &key) const;
    bool IsAllOk() const;
    const std::vector<ImportTreeNode> &Nodes() const { return nodes_; }

    static std::string ChildKey(const std::string &rootKey, const std::string &key) {
        return rootKey + "|" + key;
    }

  private:
    ImportTreeNode *FindNode(const std::string &fullKey);
    std::vector<ImportTreeNode> nodes_;
};

} // namespace vialto
