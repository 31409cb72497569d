// A child program whose standard output is read line by line, for tests that wait on what
// another process reports.
#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

namespace foliotally::test {

class ChildProcess {
 public:
  // Starts `program` in `folder` on the X server of this process (never offscreen).
  ChildProcess(const QString& program, const QStringList& args, const QString& folder);
  // Starts `program` with exactly `env`, its standard error written to `errorFile`: for
  // programs of the desktop, whose chatter is not the test's.
  ChildProcess(const QString& program, const QStringList& args, const QString& folder,
               const QProcessEnvironment& env, const QString& errorFile);
  ~ChildProcess();

  // The first line not yet matched that satisfies `wanted`, waiting up to `timeoutMs`
  // for it; nothing when it did not come. Lines before the match are passed over.
  std::optional<QString> WaitFor(const std::function<bool(const QString&)>& wanted,
                                 int timeoutMs = 15000);
  void Write(const QString& line);
  // Everything said so far, each line preceded by a line break.
  std::string Transcript();

  // Runs a program to its end and gives its exit code (-1 when it did not run).
  static int Run(const QString& program, const QStringList& args);

 private:
  void ReadLines();

  QProcess process_;
  QStringList lines_;
  QByteArray partial_;
  qsizetype next_ = 0;
};

}  // namespace foliotally::test
