#include "private_bus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

namespace murrelet::testing {
namespace {
// The distribution's interpreter has the dbusmock module; a python earlier on
// PATH may not.
constexpr const char* kPython = "/usr/bin/python3";
int busCount = 0;
}  // namespace

bool WaitFor(const std::function<bool()>& done, int ms) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > ms) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

PrivateBus::PrivateBus(const QString& servicesDir) {
  QStringList arguments{QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--nopidfile"),
                        QStringLiteral("--print-address=1")};
  if (!servicesDir.isEmpty()) {
    // A session bus of its own whose only activatable services are those.
    configFile_ = servicesDir + QStringLiteral(".bus.conf");
    QFile config(configFile_);
    if (!config.open(QIODevice::WriteOnly)) return;
    config.write(QStringLiteral("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>"
                                "<auth>EXTERNAL</auth><servicedir>%1</servicedir>"
                                "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n")
                     .arg(servicesDir.toHtmlEscaped())
                     .toUtf8());
    config.close();
    arguments[0] = QStringLiteral("--config-file=") + configFile_;
  }
  daemon_.setProgram(QStringLiteral("dbus-daemon"));
  daemon_.setArguments(arguments);
  daemon_.start();
  if (!daemon_.waitForStarted(5000)) return;
  if (!WaitFor([this] { return daemon_.canReadLine(); }, 5000)) return;
  address_ = QString::fromUtf8(daemon_.readLine()).trimmed();
  name_ = QStringLiteral("murrelet-test-bus-%1").arg(++busCount);
  connection_ = QDBusConnection::connectToBus(address_, name_);
}

PrivateBus::~PrivateBus() {
  for (auto& mock : mocks_) {
    mock->terminate();
    if (!mock->waitForFinished(3000)) mock->kill();
  }
  if (!name_.isEmpty()) QDBusConnection::disconnectFromBus(name_);
  daemon_.terminate();
  if (!daemon_.waitForFinished(3000)) daemon_.kill();
}

bool PrivateBus::StartTemplate(const QString& name, const QString& service, const QString& logFile) {
  if (!Ok()) return false;
  auto mock = std::make_unique<QProcess>();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), address_);
  env.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
  mock->setProcessEnvironment(env);
  mock->setProcessChannelMode(QProcess::ForwardedErrorChannel);
  mock->setProgram(QString::fromLatin1(kPython));
  QStringList arguments{QStringLiteral("-m"), QStringLiteral("dbusmock"), QStringLiteral("--template"), name};
  // Every call the mock answers, properties included, one line each.
  if (!logFile.isEmpty()) arguments << QStringLiteral("--logfile") << logFile;
  mock->setArguments(arguments);
  mock->start();
  if (!mock->waitForStarted(5000)) return false;
  mocks_.push_back(std::move(mock));
  return WaitFor([&] {
    const QDBusReply<bool> up = connection_.interface()->isServiceRegistered(service);
    return up.isValid() && up.value();
  }, 15000);
}

std::optional<QVariantList> PrivateBus::Call(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QVariantList& args) {
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, interface, method);
  call.setArguments(args);
  const QDBusMessage reply = connection_.call(call, QDBus::Block, 5000);
  if (reply.type() != QDBusMessage::ReplyMessage) return std::nullopt;
  return reply.arguments();
}

QList<QVariantList> PrivateBus::MethodCalls(const QString& service, const QString& path, const QString& method) {
  QList<QVariantList> out;
  const auto reply = Call(service, path, QStringLiteral("org.freedesktop.DBus.Mock"), QStringLiteral("GetMethodCalls"),
                          {method});
  if (!reply || reply->isEmpty()) return out;
  const QDBusArgument arg = reply->constFirst().value<QDBusArgument>();
  arg.beginArray();
  while (!arg.atEnd()) {
    qulonglong when = 0;
    QVariantList args;
    arg.beginStructure();
    arg >> when >> args;
    arg.endStructure();
    out.push_back(args);
  }
  arg.endArray();
  return out;
}

QStringList LogindInhibitors(PrivateBus& bus) {
  QStringList out;
  const auto reply = bus.Call(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                              QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("ListInhibitors"));
  if (!reply || reply->isEmpty()) return out;
  const QDBusArgument arg = reply->constFirst().value<QDBusArgument>();
  arg.beginArray();
  while (!arg.atEnd()) {
    QString what, who, why, mode;
    uint uid = 0, pid = 0;
    arg.beginStructure();
    arg >> what >> who >> why >> mode >> uid >> pid;
    arg.endStructure();
    out << what + "/" + mode;
  }
  arg.endArray();
  return out;
}

}  // namespace murrelet::testing
