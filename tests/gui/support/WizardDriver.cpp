#include "gui/support/WizardDriver.h"

#include "gui/QtSettingsStore.h"
#include "gui/ctlFiles.h"
#include "shell/AppModel.h"
#include "shell/Platform.h"
#include "shell/StartUp.h"
#include "shell/Text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QRadioButton>
#include <QSettings>
#include <QTreeWidget>

#include <stdexcept>

namespace vialto::test {

void PointSettingsAt(const QString &folder) {
    QSettings::setDefaultFormat(QSettings::IniFormat);
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

WizardEnvironment::WizardEnvironment(bool tunnelEditor) {
    std::filesystem::create_directories(ProgramFolder());
    std::filesystem::copy_file(std::filesystem::path(VIALTO_BIN_DIR) / kLanguageFileName,
                               ProgramFolder() / kLanguageFileName);
    if (tunnelEditor) // the tunnel slot needs the editor beside the program
        WriteFileBytes(ProgramFolder() / ("Tubrix" + ExecutableSuffix()), "stand-in");
    PointSettingsAt(QString::fromStdString((dir_ / "settings").string()));
    if (!StartsWith(QtSettingsStore::Location(), dir_.Path().string()))
        throw std::runtime_error("the settings store is not the run's own");
}

WizardEnvironment::~WizardEnvironment() {
    SetProgramFolder(".");
    AppModel().Reset();
}

void WizardEnvironment::StartUp(int formats, const std::filesystem::path &output) {
    SetProgramFolder(ProgramFolder().string());
    clsAppModel &app = AppModel();
    app.Reset();
    SetSupportedFormats(formats);
    if (!app.TokenFile().ReadFile(kLanguageFileName))
        throw std::runtime_error("no language file in the program folder");
    app.XmlFileToExport = output.string();
}

int WizardEnvironment::KeysIn(const QString &section) {
    QSettings store(QSettings::defaultFormat(), QSettings::UserScope,
                    QLatin1String(kSettingsApplication));
    store.beginGroup(section);
    return static_cast<int>(store.childKeys().size());
}

WizardSession::WizardSession(int formats, const std::filesystem::path &output, bool tunnelEditor)
    : environment_(tunnelEditor) {
    environment_.StartUp(formats, output);
    settings_ = std::make_unique<QtSettingsStore>();
    window_ = std::make_unique<frmWizard>(*settings_);
    window_->Open();
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get()))
        throw std::runtime_error("the wizard window is not shown");
    hands_ = std::make_unique<WizardDriver>(*window_);
}

void WizardDriver::Click(const QString &name) {
    auto *button = Find<QAbstractButton>(name);
    if (!button)
        throw std::runtime_error("no button " + name.toStdString());
    const bool indicator =
        qobject_cast<QCheckBox *>(button) || qobject_cast<QRadioButton *>(button);
    const QPoint at = indicator ? QPoint(6, button->height() / 2) : button->rect().center();
    QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, at);
}

void WizardDriver::ChooseJob(int jobType) {
    Click(QStringLiteral("optJob%1").arg(jobType));
    Next();
}

void WizardDriver::TypeFiles(std::initializer_list<std::pair<const char *, std::string>> rows) {
    for (const auto &[row, path] : rows) {
        ShowFilesPage(row[0] - '0');
        TypeInto(QStringLiteral("file.%1.name").arg(row), QString::fromStdString(path));
    }
}

void WizardDriver::TypeInto(const QString &name, const QString &text) {
    // A box, or a numeric box holding one.
    QWidget *widget = Find<QWidget>(name);
    auto *box = qobject_cast<QLineEdit *>(widget);
    if (!box && widget)
        box = widget->findChild<QLineEdit *>();
    if (!box)
        throw std::runtime_error("no box " + name.toStdString());
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, text);
    QTest::keyClick(box, Qt::Key_Tab); // leaves the box
}

void WizardDriver::ShowFilesPage(int page) {
    auto &files = wizard_.FilesPage();
    while (files.CurrentPage() < page)
        Click(QStringLiteral("cmdFilesNext"));
    while (files.CurrentPage() > page)
        Click(QStringLiteral("cmdFilesPrevious"));
}

void WizardDriver::TickLayer(const QString &layer, bool ticked) {
    auto *tree = Find<QTreeWidget>(QStringLiteral("tvwLayers"));
    const QList<QTreeWidgetItem *> found = tree->findItems(layer, Qt::MatchExactly);
    if (found.isEmpty())
        throw std::runtime_error("no layer " + layer.toStdString());
    if ((found.front()->checkState(0) == Qt::Checked) == ticked)
        return;
    tree->setFocus(Qt::TabFocusReason);
    tree->setCurrentItem(found.front());
    QTest::keyClick(tree->viewport(), Qt::Key_Space);
}

void WizardDriver::Shot(const std::string &name) const {
    if (TheScreenshots.Folder.empty())
        return;
    wizard_.resize(frmWizard::kDefaultWidth, frmWizard::kDefaultHeight);
    QApplication::processEvents();
    QImage image = wizard_.grab().toImage();
    image.setDevicePixelRatio(1);
    if (image.save(QString::fromStdString((TheScreenshots.Folder / (name + ".png")).string())))
        ++TheScreenshots.Saved;
}

} // namespace vialto::test
