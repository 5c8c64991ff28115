// orvantis: with exactly two arguments (a target directory and an output file) one
// listing is run and the program exits; with any other number the window opens;
// --help and --version answer without either.
// The automatic run shows the window when there is a display; without one, or with
// ORVANTIS_HEADLESS=1, it runs without a window. The exit statuses are those of
// TExitStatus (run/AutomaticMode.h).
#include "CommandLine.h"
#include "run/AutomaticMode.h"
#include "run/HeadlessRunHost.h"
#include "run/RunDriver.h"
#include "platform/Console.h"
#include "platform/Environment.h"
#include "ui/OrvantisForm.h"
#include "ui/QtIconSource.h"
#include "ui/QtTranslations.h"

#include <QApplication>
#include <memory>

#include <exception>
#include <string>
#include <vector>

namespace {

// Without a window nobody reads Qt's own chatter (no runtime folder, no theme); only
// its critical errors reach standard error.
void QuietQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) {
    orv::WriteStderr("orvantis: " + message.toStdString() + "\n");
  }
}

[[noreturn]] void RunHeadless(const std::vector<std::string>& arguments, int& qtArgc, char** argv) {
  // Icons are drawn by Qt, which needs a GUI application (with no screen); it is made
  // when the first icon is wanted, so a listing without icons starts at once. It is
  // declared first so that it outlives the icon source.
  std::unique_ptr<QApplication> application;
  orv::THeadlessRunHost host(orv::StderrIsTerminal(), orv::HasDisplay());
  orv::TRunDriver driver(host);
  orv::TQtIconSource icons;
  icons.SetBeforeFirstIcon([&] { application = std::make_unique<QApplication>(qtArgc, argv); });
  driver.SetIconSource(&icons);
  host.OnStopRequested = [&driver] { driver.Stop(); };

  driver.Start(arguments);
  const orv::TRunOutcome outcome = driver.RunAutomatic();
  host.Finish();
  host.ReportUnreadEntries(driver.UnreadEntries());
  for (const std::string& notice : driver.Notices()) host.ShowWarning(notice);
  driver.Shutdown();
  // Everything is written and said. Freeing the records of a large tree one by one
  // (with their digests, a few hundred milliseconds for a million files) would only
  // delay the exit, after a stop too.
  orv::ExitNow(orv::AutomaticExitStatus(outcome, driver));
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> arguments(argv + 1, argv + argc);
  switch (orv::ReadCommandLine(arguments)) {
    case orv::TCommandLineRequest::Help:
      return orv::WriteStdout(orv::UsageText()) ? orv::ExitComplete : orv::ExitFailed;
    case orv::TCommandLineRequest::Version:
      return orv::WriteStdout(orv::VersionText()) ? orv::ExitComplete : orv::ExitFailed;
    case orv::TCommandLineRequest::Start:
      break;
  }
  // Qt sees only the program name: a target directory called "-style" is a directory.
  int qtArgc = 1;
  const bool automatic = arguments.size() == 2;
  if (automatic) {
    if (const std::string refused = orv::RefusedAutomaticArguments(arguments); !refused.empty()) {
      orv::WriteStderr(refused);
      return orv::ExitUsage;
    }
  }

  if (automatic && (!orv::HasDisplay() || orv::HeadlessRequested())) {
    // First of all: a stop signal during the start-up must not kill the process before
    // the run could end as a stopped one.
    orv::InstallInterruptFlag();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietQtMessages);
    RunHeadless(arguments, qtArgc, argv);
  }
  if (!orv::HasDisplay()) {
    orv::WriteStderr(
        "orvantis: no display (neither DISPLAY nor WAYLAND_DISPLAY is set), so the window cannot open.\n"
        "To write a listing without the window: orvantis TARGET-DIRECTORY OUTPUT-FILE\n"
        "(.csv, .htm/.html or .xml; settings come from Orvantis.ini in $ORVANTIS_HOME or beside the program).\n");
    return orv::ExitUsage;
  }

  QApplication application(qtArgc, argv);
  QApplication::setApplicationName(QStringLiteral("Orvantis"));
  // The desktop entry's name, so a desktop matches the window to its entry and icon.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.example.orvantis"));
  const orv::TQtTranslations translations;
  // Dialogs and message boxes are windows of their own and take the application's font.
  QApplication::setFont(orv::FormFont());
  orv::TOrvantisForm form;
  try {
    form.WatchTerminationSignal();
  } catch (const std::exception& error) {
    // The window works without it; only a service manager's stop is then abrupt.
    orv::WriteStderr(std::string("orvantis: SIGTERM is not watched: ") + error.what() + "\n");
  }
  form.Start(arguments);
  form.show();
  const int status = QApplication::exec();
  if (automatic) {
    return orv::AutomaticExitStatus(form.AutomaticOutcome(), form.Driver());
  }
  return status;
}
