#include "dragdrop/qt/e2e/child_process.h"

#include <QDeadlineTimer>
#include <QProcessEnvironment>

namespace foliotally::test {

ChildProcess::ChildProcess(const QString& program, const QStringList& args, const QString& folder) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("QT_QPA_PLATFORM", "xcb");
  process_.setProcessEnvironment(env);
  process_.setWorkingDirectory(folder);
  process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  process_.start(program, args);
  process_.waitForStarted();
}

ChildProcess::ChildProcess(const QString& program, const QStringList& args, const QString& folder,
                           const QProcessEnvironment& env, const QString& errorFile) {
  process_.setProcessEnvironment(env);
  process_.setWorkingDirectory(folder);
  process_.setStandardErrorFile(errorFile, QIODevice::Append);
  process_.start(program, args);
  process_.waitForStarted();
}

ChildProcess::~ChildProcess() {
  process_.terminate();
  if (!process_.waitForFinished(3000)) {
    process_.kill();
    process_.waitForFinished(3000);
  }
}

void ChildProcess::ReadLines() {
  partial_ += process_.readAllStandardOutput();
  for (qsizetype end = partial_.indexOf('\n'); end >= 0; end = partial_.indexOf('\n')) {
    lines_.append(QString::fromUtf8(partial_.left(end)));
    partial_.remove(0, end + 1);
  }
}

std::optional<QString> ChildProcess::WaitFor(const std::function<bool(const QString&)>& wanted,
                                             int timeoutMs) {
  QDeadlineTimer deadline(timeoutMs);
  for (;;) {
    ReadLines();
    for (; next_ < lines_.size(); ++next_) {
      if (wanted(lines_[next_])) return lines_[next_++];
    }
    if (deadline.hasExpired() || process_.state() == QProcess::NotRunning) return std::nullopt;
    process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
  }
}

void ChildProcess::Write(const QString& line) {
  process_.write((line + "\n").toUtf8());
  process_.waitForBytesWritten(3000);
}

std::string ChildProcess::Transcript() {
  ReadLines();
  return lines_.isEmpty() ? std::string() : "\n" + lines_.join('\n').toStdString();
}

int ChildProcess::Run(const QString& program, const QStringList& args) {
  QProcess process;
  process.setStandardOutputFile(QProcess::nullDevice());
  process.start(program, args);
  if (!process.waitForStarted() || !process.waitForFinished(60000)) return -1;
  return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

}  // namespace foliotally::test
