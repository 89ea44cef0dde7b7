// The clock and the user's long time format. The locale's own short format
// with seconds added is what a long time format means here (ja: "H:mm:ss",
// en_US: "h:mm:ss AP", de: "HH:mm:ss"): Qt's long format adds a time zone and,
// for Japanese, unit characters that do not fit the clock panel.
#pragma once

#include <QLocale>
#include <QString>

#include "kit/clock.h"

namespace murrelet::linux_platform {

// From a locale's short and long time formats.
QString LongTimeFormat(const QString& shortFormat, const QString& longFormat);

class LocaleClock : public Clock {
 public:
  explicit LocaleClock(const QLocale& locale = QLocale::system());
  TimeOfDay Now() override;
  void FormatLongTime(const TimeOfDay& time, std::string& out) override;
  const QString& Format() const { return format_; }

 private:
  QLocale locale_;
  QString format_;
};

}  // namespace murrelet::linux_platform
