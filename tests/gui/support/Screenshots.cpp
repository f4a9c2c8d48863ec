// vialto-screenshots FOLDER: runs the wizard on the offscreen platform through
// every page of the bundled tunnel job and of a road job, as a user clicking
// its buttons, and saves a PNG of each page into FOLDER (scripts/screenshots.sh
// writes docs/screenshots/). The input files are copied to a fixed folder
// first, so the paths the pictures show are the same on every machine.
#include "gui/ctlProgress.h"
#include "gui/ctlProofPreview.h"
#include "gui/ctlResult.h"
#include "gui/support/WizardDriver.h"
#include "shell/AppModel.h"

#include <QApplication>
#include <QDir>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTimer>

#include <filesystem>
#include <iostream>

using namespace vialto;
using vialto::test::WizardDriver;
using vialto::test::WizardSession;

namespace {

namespace fs = std::filesystem;

struct Shooter {
    fs::path Folder;
    int Saved = 0;
    void Save(const WizardDriver &driver, const std::string &name) {
        const fs::path file = Folder / (name + ".png");
        if (driver.Grab().save(QString::fromStdString(file.string()))) {
            std::cout << "  " << file.string() << "\n";
            ++Saved;
        } else {
            std::cerr << "vialto-screenshots: cannot write " << file.string() << "\n";
        }
    }
};

// The samples a job reads, copied to the demonstration folder.
std::string Demo(const fs::path &demo, const std::string &sample) {
    const fs::path target = demo / fs::path(sample).filename();
    fs::copy_file(vialto::test::SamplePath(sample), target, fs::copy_options::overwrite_existing);
    return target.string();
}

void TunnelJob(Shooter &shots, const fs::path &demo) {
    WizardSession session(fmtTunnel, demo / "tunnel.xml");
    WizardDriver &hands = session.Hands();
    hands.TypeFiles({{"1.1", Demo(demo, "listings/road.plt")},
                     {"1.2", Demo(demo, "listings/road.alz")},
                     {"1.3", Demo(demo, "tunnel/profiles.xml")}});
    for (const char *page : {"tunnel-1-files", "tunnel-2-preferences", "tunnel-3-importing",
                             "tunnel-4-exporting", "tunnel-5-result"}) {
        shots.Save(hands, page);
        hands.Next();
    }
}

void RoadJob(Shooter &shots, const fs::path &demo) {
    WizardSession session(fmtRoad | fmtTunnel | fmtRail, demo / "road.xml");
    frmWizard &wizard = session.Window();
    WizardDriver &hands = session.Hands();
    hands.Click(QStringLiteral("optJob0"));
    shots.Save(hands, "road-1-job-type");
    hands.Next();
    hands.TypeFiles({{"1.1", Demo(demo, "listings/road.plt")},
                     {"1.2", Demo(demo, "listings/road.alz")},
                     {"1.3", Demo(demo, "cross/road.trv")}});
    for (const char *page : {"road-2-files", "road-3-preferences", "road-4-importing"}) {
        shots.Save(hands, page);
        hands.Next();
    }
    hands.TypeInto(QStringLiteral("txtFromCh"), QStringLiteral("12500"));
    hands.TypeInto(QStringLiteral("txtToCh"), QStringLiteral("14000"));
    hands.TickLayer(QStringLiteral("Taludes"), false);
    shots.Save(hands, "road-5-exporting");
    // The progress panel, caught as the cross sections start to be written
    // (the stage lets the window paint at every start of a step).
    QTimer watch;
    const QString writing = QString::fromStdString(AppModel().GetToken("T_EXPORTING_CR"));
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const auto *bar = hands.Find<QProgressBar>(QStringLiteral("barProgress"));
        if (wizard.ProgressPanel().Tittle() == writing && bar->maximum() > 0) {
            watch.stop();
            shots.Save(hands, "road-6-progress");
        }
    });
    watch.start(0);
    hands.Next();
    watch.stop();
    shots.Save(hands, "road-7-result");
    // The drawings of the document read back: the plan and a cross section.
    ctlProofPreview &panel = wizard.ResultPage().ProofPanel();
    panel.setCurrentIndex(ctlProofPreview::tabPlan);
    shots.Save(hands, "road-8-result-plan");
    panel.setCurrentIndex(ctlProofPreview::tabSections);
    panel.ShowSection(panel.SectionCount() / 2);
    shots.Save(hands, "road-9-result-section");
    hands.Next();
}

// The first input-files page of a double track: the tracks take their
// heights from the centre line.
void DoubleTrackFiles(Shooter &shots, const fs::path &demo) {
    WizardSession session(fmtRoad | fmtTunnel | fmtRail, demo / "double.xml");
    WizardDriver &hands = session.Hands();
    hands.ChooseJob(jobRailDouble);
    hands.TypeFiles({{"1.1", Demo(demo, "rail/double_centre.plt")},
                     {"1.2", Demo(demo, "rail/double_centre.alz")}});
    hands.Click(QStringLiteral("file.1.2.option"));
    shots.Save(hands, "double-track-files");
    hands.Cancel();
}

// A tolerance finer than the document's micrometres: the proof fails and the
// exporting page says where.
void FailedProof(Shooter &shots, const fs::path &demo) {
    WizardSession session(fmtRoad | fmtTunnel | fmtRail, demo / "proof.xml");
    WizardDriver &hands = session.Hands();
    hands.ChooseJob(jobRailSingle);
    hands.TypeFiles({{"1.1", Demo(demo, "rail/single.plt")},
                     {"1.2", Demo(demo, "rail/single.alz")},
                     {"1.4", Demo(demo, "rail/single_cant.xml")}});
    hands.Next();
    hands.TypeInto(QStringLiteral("txtToleranceHz"), QStringLiteral("0.0000012"));
    hands.Next();
    hands.Next();
    hands.Next();
    shots.Save(hands, "exporting-proof-failed");
    hands.Cancel();
}

// A listing that cannot be read: the importing page with the reason.
void FailedImport(Shooter &shots, const fs::path &demo) {
    const fs::path broken = demo / "broken.plt";
    vialto::test::WriteFileBytes(broken, "*PLT\r\n1 2 three\r\n");
    WizardSession session(fmtTunnel, demo / "failed.xml");
    WizardDriver &hands = session.Hands();
    hands.TypeFiles({{"1.1", broken.string()}, {"1.2", Demo(demo, "listings/road.alz")}});
    hands.Next();
    hands.Next();
    shots.Save(hands, "importing-failed");
    hands.Cancel();
}

} // namespace

int main(int argc, char **argv) {
    if (argc != 2) {
        std::cerr << "usage: vialto-screenshots FOLDER\n";
        return 64;
    }
    vialto::test::UseOffscreenPlatform();
    QApplication application(argc, argv);
    vialto::test::FixLook();
    // Each run below points the settings store at a folder of its own; until
    // then, and whatever happens, nothing reaches the user's real store.
    const QTemporaryDir settings;
    vialto::test::PointSettingsAt(settings.path());
    Shooter shots{fs::absolute(argv[1])};
    fs::create_directories(shots.Folder);
    const fs::path demo = fs::path(QDir::tempPath().toStdString()) / "Vialto demo";
    fs::remove_all(demo);
    fs::create_directories(demo);
    vialto::test::RecordingUi quiet; // no message box may wait for an answer here
    TunnelJob(shots, demo);
    RoadJob(shots, demo);
    DoubleTrackFiles(shots, demo);
    FailedImport(shots, demo);
    FailedProof(shots, demo);
    fs::remove_all(demo);
    std::cout << shots.Saved << " screenshots\n";
    return shots.Saved == 17 ? 0 : 1;
}
