// A private D-Bus daemon for one test, with python-dbusmock's templates
// standing in for UPower and logind. There is no system bus in CI, and the
// real one must never be touched by a test.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace murrelet::testing {

// Runs the event loop until `done` holds or `ms` pass.
bool WaitFor(const std::function<bool()>& done, int ms = 5000);

class PrivateBus {
 public:
  // `servicesDir`: a folder of D-Bus service files (*.service) the bus may
  // start on a call that lets it; none by default.
  explicit PrivateBus(const QString& servicesDir = {});
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  bool Ok() const { return connection_.isConnected(); }
  const QDBusConnection& Connection() const { return connection_; }
  // Starts `python3 -m dbusmock --template NAME` on this bus; true once its
  // service name is on the bus.
  bool StartTemplate(const QString& name, const QString& service, const QString& logFile = {});
  // A method call on the bus: the reply's arguments, nullopt on an error reply.
  std::optional<QVariantList> Call(const QString& service, const QString& path, const QString& interface, const QString& method,
                    const QVariantList& args = {});
  // The arguments of each call of `method` on a dbusmock object, oldest first.
  QList<QVariantList> MethodCalls(const QString& service, const QString& path, const QString& method);

 private:
  QProcess daemon_;
  QString configFile_;
  std::vector<std::unique_ptr<QProcess>> mocks_;
  QString address_;
  QString name_;
  QDBusConnection connection_{QStringLiteral("unconnected")};
};

// The inhibitors the logind on `bus` holds, as "what/mode" strings.
QStringList LogindInhibitors(PrivateBus& bus);

// Keeps every signal it is connected to, in order of arrival.
class SignalRecorder : public QObject {
  Q_OBJECT

 public:
  QList<QDBusMessage> seen;

 public slots:
  void Record(const QDBusMessage& message) { seen.push_back(message); }
};

}  // namespace murrelet::testing
