// Renders every desktop window offscreen into PNG files, with the sample
// quadrangle (tests/data/LEWISTON_grid_cell.gz) loaded: the main window, the
// record browser, the directory picker, and the conversion window before,
// during and after a run; and the screen as a user sees it twice: the main
// window with the record browser beside it, and the run's summary box over
// the finished conversion window.
//
// Usage: ui_screenshots OUTPUT_DIR [WIDTHxHEIGHT]   (run by `make screenshots`)
// The offscreen screen is WIDTHxHEIGHT pixels (1600x1000 by default).
// Works in a temporary program, Windows and suite directory of its own; the
// user's settings are never touched.

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QScreen>
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

// The screen as the user sees it: the desktop and `windows`, bottom first,
// where they stand. The offscreen platform draws no window frames; each
// window gets a plain title bar, so that one window tells from another.
void SaveScreen(std::initializer_list<QWidget*> windows, const char* name) {
  constexpr int kTitleBarHeight = 22;
  QPixmap screen(QGuiApplication::primaryScreen()->geometry().size());
  screen.fill(QColor(0x3a, 0x4a, 0x5a));
  QPainter painter(&screen);
  for (QWidget* window : windows) {
    if (window == nullptr || !window->isVisible()) continue;
    const QRect area = window->geometry();
    const QRect bar(area.x(), area.y() - kTitleBarHeight, area.width(), kTitleBarHeight);
    painter.fillRect(bar, QColor(0x2b, 0x57, 0x97));
    painter.setPen(Qt::white);
    painter.drawText(bar.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, window->windowTitle());
    painter.drawPixmap(area.topLeft(), window->grab());
    painter.setPen(QColor(0x2b, 0x57, 0x97));
    painter.drawRect(area.adjusted(0, -kTitleBarHeight, -1, -1));
  }
  painter.end();
  const QString path = g_outputDir + QLatin1Char('/') + QString::fromUtf8(name);
  if (!screen.save(path)) {
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

// The offscreen platform's screen of `size` ("1366x768"), from a
// configuration file in `dir`.
bool ConfigureOffscreenScreen(const QString& size, const QString& dir) {
  const QStringList sides = size.split(QLatin1Char('x'));
  bool wide = false, high = false;
  const int width = sides.size() == 2 ? sides[0].toInt(&wide) : 0;
  const int height = sides.size() == 2 ? sides[1].toInt(&high) : 0;
  if (!wide || !high || width < 640 || height < 480) return false;
  const QString path = dir + QStringLiteral("/screen.json");
  std::ofstream config(path.toStdString());
  config << "{\"screens\": [{\"name\": \"Screen\", \"x\": 0, \"y\": 0, \"width\": " << width
         << ", \"height\": " << height << ", \"logicalDpi\": 96, \"logicalBaseDpi\": 96, \"dpr\": 1}]}\n";
  if (!config) return false;
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + path).toLocal8Bit());
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: ui_screenshots OUTPUT_DIR [WIDTHxHEIGHT]\n");
    return 2;
  }
  QTemporaryDir work(QDir::tempPath() + QStringLiteral("/ctgtilbo-screens-XXXXXX"));
  const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
  if (platform.isEmpty() || platform == QStringLiteral("offscreen")) {
    const QString size = argc == 3 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("1600x1000");
    if (!ConfigureOffscreenScreen(size, work.path())) {
      std::fprintf(stderr, "ui_screenshots: not a screen size: %s\n", qPrintable(size));
      return 2;
    }
  }
  qInstallMessageHandler(QuietOffscreenWarnings);
  QApplication application(argc, argv);
  g_outputDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
  QDir().mkpath(g_outputDir);

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

  tilbo::ui::QtEventPump pump;
  tilbo::ui::QtPrompter prompter;
  prompter.SetEventPump(&pump);
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
    SaveScreen({&window, window.recordBrowserWindow()}, "screen-main-and-browser.png");

    // The picker opens on the tile's directory.
    QTimer::singleShot(0, [] {
      auto* picker = qobject_cast<tilbo::ui::DirectoryPickerDialog*>(QApplication::activeModalWidget());
      Save(picker, "directory-picker.png");
      if (picker != nullptr) Button(picker, "cmdCancel")->click();
    });
    Button(&window, "cmdDirectories")->click();

    ConversionWindow* conversion = nullptr;
    HalfwayShot halfway(conversion);
    prompter.inspector = [&](QMessageBox& box) {
      if (!box.text().startsWith(QStringLiteral("The conversion process is complete."))) return;
      box.show();
      QCoreApplication::processEvents();
      Save(&box, "conversion-summary.png");
      SaveScreen({&window, window.recordBrowserWindow(), conversion, &box}, "screen-summary.png");
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
    // The east tile is there already: its row starts unticked, its box empty.
    std::ofstream(tiles.toStdString() + "L07044NW.LUC", std::ios::binary) << "an older tile";
    Button(&window, "cmdConvert")->click();
    window.close();
  }
  tilbo::SetActivePrompter(nullptr);
  return g_failures == 0 ? 0 : 1;
}
