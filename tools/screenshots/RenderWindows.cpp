// Renders every desktop window offscreen into PNG files, with the sample
// quadrangle (tests/data/LEWISTON_grid_cell.gz) loaded: the main window, the
// record browser, the directory picker, and the conversion window before,
// during and after a run, with the run's summary box.
//
// Usage: ui_screenshots OUTPUT_DIR   (run by `make screenshots`)
// Works in a temporary program, Windows and suite directory of its own; the
// user's settings are never touched.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ui/ConversionWindow.h"
#include "ui/DirectoryPickerDialog.h"
#include "ui/MainWindow.h"

namespace {

using tilbo::ui::ConversionWindow;
using tilbo::ui::MainWindow;

QString g_outputDir;
int g_failures = 0;

void Save(QWidget* window, const char* name) {
  if (window == nullptr) {
    std::fprintf(stderr, "ui_screenshots: no window for %s\n", name);
    ++g_failures;
    return;
  }
  const QString path = g_outputDir + QLatin1Char('/') + QString::fromUtf8(name);
  if (!window->grab().save(path)) {
    std::fprintf(stderr, "ui_screenshots: cannot write %s\n", qPrintable(path));
    ++g_failures;
    return;
  }
  std::printf("%s\n", qPrintable(path));
}

QPushButton* Button(QWidget* window, const char* name) {
  return window->findChild<QPushButton*>(QString::fromUtf8(name));
}

// Grabs the conversion window once, half-way through the copy.
class HalfwayShot final : public tilbo::ui::RefreshableView {
 public:
  explicit HalfwayShot(ConversionWindow*& window) : window_(window) {}
  void Refresh() override {
    if (taken_ || window_ == nullptr) return;
    const tilbo::frmConversion& run = window_->logic();
    if (run.pbMax > 0 && run.pbValue >= run.pbMax / 2) {
      taken_ = true;
      Save(window_, "conversion-running.png");
    }
  }

 private:
  ConversionWindow*& window_;
  bool taken_ = false;
};

// The offscreen platform warns on every window shown that it cannot pass on
// size hints; that says nothing about the pictures.
void QuietOffscreenWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.contains(QStringLiteral("does not support propagateSizeHints"))) return;
  if (message.startsWith(QStringLiteral("QStandardPaths: XDG_RUNTIME_DIR not set"))) return;
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

bool Gunzip(const QString& source, const QString& target) {
  QProcess gzip;
  gzip.setStandardOutputFile(target);
  gzip.start(QStringLiteral("gzip"), {QStringLiteral("-dc"), source});
  return gzip.waitForFinished(-1) && gzip.exitStatus() == QProcess::NormalExit && gzip.exitCode() == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: ui_screenshots OUTPUT_DIR\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietOffscreenWarnings);
  QApplication application(argc, argv);
  g_outputDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(g_outputDir);

  QTemporaryDir work(QDir::tempPath() + QStringLiteral("/ctgtilbo-screens-XXXXXX"));
  QDir root(work.path());
  for (const char* sub : {"home", "windows", "suite", "data", "tiles"}) root.mkdir(QString::fromUtf8(sub));
  qputenv("CTGTILBO_HOME", root.filePath(QStringLiteral("home")).toLocal8Bit());
  qputenv("CTGTILBO_WINDOWS_DIR", root.filePath(QStringLiteral("windows")).toLocal8Bit());
  qputenv("CTGTILBO_SUITE_DIR", root.filePath(QStringLiteral("suite")).toLocal8Bit());
  const QString tiles = root.filePath(QStringLiteral("tiles")) + QLatin1Char('/');
  {
    // The tile directory is one of the LUC directories, as it would be on a
    // machine in use.
    std::ofstream ini(root.filePath(QStringLiteral("home/QMDEFAULTS.INI")).toStdString(), std::ios::binary);
    ini << "[LULC Directories]\r\nDirectory 1=" << tiles.toStdString() << "\r\n";
  }
  const QString sample = root.filePath(QStringLiteral("data/LEWISTON_grid_cell"));
  if (!Gunzip(QStringLiteral(TILBO_SAMPLE_DIR "/LEWISTON_grid_cell.gz"), sample)) {
    std::fprintf(stderr, "ui_screenshots: cannot unpack the sample quadrangle\n");
    return 1;
  }

  tilbo::ui::QtPrompter prompter;
  tilbo::ui::QtEventPump pump;
  tilbo::SetActivePrompter(&prompter);
  prompter.StartScript();
  {
    MainWindow window(prompter, pump, tilbo::CommandLine{});
    window.Start();
    window.fileDialog.answers.push_back(sample.toStdString());
    Button(&window, "cmdBrowse")->click();
    Save(&window, "main-window.png");

    if (tilbo::ui::RecordBrowserWindow* browser = window.recordBrowserWindow()) {
      // A cell inside the quadrangle, with a land-use code worth reading.
      browser->findChild<QLineEdit*>(QStringLiteral("txtRecNum"))->setText(QStringLiteral("221000"));
      browser->logic().txtRecNum_Change("221000");
      Button(browser, "cmdGo")->click();
      Save(browser, "record-browser.png");
    }

    // The picker opened on the work directory, whose tiles directory is listed.
    QTimer::singleShot(0, [&root] {
      auto* picker = qobject_cast<tilbo::ui::DirectoryPickerDialog*>(QApplication::activeModalWidget());
      if (picker != nullptr) {
        picker->logic().dilbDirectories_Change(root.path().toStdString());
        picker->Refresh();
      }
      Save(picker, "directory-picker.png");
      if (picker != nullptr) Button(picker, "cmdCancel")->click();
    });
    Button(&window, "cmdDirectories")->click();

    ConversionWindow* conversion = nullptr;
    HalfwayShot halfway(conversion);
    prompter.inspector = [](QMessageBox& box) {
      if (!box.text().startsWith(QStringLiteral("The conversion process is complete."))) return;
      box.show();
      QCoreApplication::processEvents();
      Save(&box, "conversion-summary.png");
      box.hide();
    };
    QTimer::singleShot(0, [&] {
      conversion = qobject_cast<ConversionWindow*>(QApplication::activeModalWidget());
      Save(conversion, "conversion-selecting.png");
      if (conversion == nullptr) return;
      pump.AddView(&halfway);
      Button(conversion, "cmdCommand")->click();  // Begin: runs to the end
      pump.RemoveView(&halfway);
      Save(conversion, "conversion-finished.png");
      Button(conversion, "cmdCommand")->click();  // Close Window
      conversion = nullptr;
    });
    Button(&window, "cmdConvert")->click();
    window.close();
  }
  tilbo::SetActivePrompter(nullptr);
  return g_failures == 0 ? 0 : 1;
}
