#include "platform/linux/system/locale_clock.h"

#include <QRegularExpression>
#include <QTime>
#include <ctime>

namespace murrelet::linux_platform {

QString LongTimeFormat(const QString& shortFormat, const QString& longFormat) {
  if (shortFormat.contains(QLatin1String("ss"))) return shortFormat;
  // Seconds go right after the minutes, with the separator that stands
  // between hours and minutes.
  static const QRegularExpression minutes(QStringLiteral("([Hh]{1,2})([^Hhms']*)(mm?)"));
  const QRegularExpressionMatch match = minutes.match(shortFormat);
  if (match.hasMatch() && !match.captured(2).isEmpty()) {
    QString format = shortFormat;
    format.insert(match.capturedEnd(3), match.captured(2) + QStringLiteral("ss"));
    return format;
  }
  // No usable short format: the long one without its time zone.
  static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
  QString format = longFormat;
  format.replace(zone, QStringLiteral(" "));
  return format.trimmed().isEmpty() ? QStringLiteral("HH:mm:ss") : format.trimmed();
}

LocaleClock::LocaleClock(const QLocale& locale)
    : locale_(locale),
      format_(LongTimeFormat(locale.timeFormat(QLocale::ShortFormat), locale.timeFormat(QLocale::LongFormat))) {}

TimeOfDay LocaleClock::Now() {
  // Read once a second: tzset() notices a time zone changed meanwhile (it
  // looks at /etc/localtime and TZ), then the C library's own conversion,
  // without the date arithmetic a QDateTime does on top.
  ::tzset();
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (::localtime_r(&now, &local) == nullptr) return {};
  return {local.tm_hour, local.tm_min, local.tm_sec < 60 ? local.tm_sec : 59};  // a leap second shows as :59
}

void LocaleClock::FormatLongTime(const TimeOfDay& time, std::string& out) {
  const QTime value(time.hour, time.minute, time.second);
  out = locale_.toString(value.isValid() ? value : QTime(0, 0), format_).toStdString();
}

}  // namespace murrelet::linux_platform
