// Every fixed text the windows show, in UTF-8.
#pragma once

namespace murrelet::text {

inline constexpr const char* kApplicationTitle = "Murrelet";
inline constexpr const char* kMainCaption = "Murrelet Ver2.0";
inline constexpr const char* kConfCaption = "環境設定";
inline constexpr const char* kSingleInstanceName = "EX_GANNET";

inline constexpr const char* kNotConnected = "が接続されていません。";
// The advice after a failed start when the user may not open the handset's device.
inline constexpr const char* kLineAccessDenied = "を開く権限がありません。";
inline constexpr const char* kLineAccessJoinGroup = "グループに参加してから、ログインし直してください。";
inline constexpr const char* kLineAccessJoinCommand = "端末で次のコマンドを実行します：\n";
inline constexpr const char* kLineAccessLogInAgain = "グループには参加済みです。ログインし直すと開けるようになります。";
// A device that no group may open: its owner, group and mode, and what to ask for.
inline constexpr const char* kLineAccessDeviceOwner = "所有者：";
inline constexpr const char* kLineAccessDeviceGroup = "、グループ：";
inline constexpr const char* kLineAccessDeviceMode = "、アクセス権：";
inline constexpr const char* kLineAccessNoGroupMayOpen = "。どのグループにも読み書きが許されていません。";
inline constexpr const char* kLineAccessAskAdministrator =
    "管理者に、このデバイスをグループ（dialout など）で読み書きできるようにし（udev 規則の GROUP と "
    "MODE=\"0660\"）、そのグループに参加させてもらうよう依頼してください。";
inline constexpr const char* kLineAccessRefusedInGroup =
    "グループには参加済みですが、システムのセキュリティ設定（AppArmor、SELinux など）がアクセスを拒否しています。";
inline constexpr const char* kChargingRemainingOpen = "充電中（残り ";
inline constexpr const char* kChargingRemainingClose = ")";
inline constexpr const char* kChargingUntimed = "充電中（時間指定なし）";
inline constexpr const char* kChargeComplete = "充電完了";
inline constexpr const char* kBatteryThresholdOpen = "バッテリ残量が";
inline constexpr const char* kBatteryThresholdClose = "％以下のため停止";
inline constexpr const char* kShutdownStarting = "シャットダウン開始";
inline constexpr const char* kStoppedOnBattery = "バッテリ稼動のため停止";
inline constexpr const char* kStoppedLowBattery = "ローバッテリのため充電停止";
inline constexpr const char* kStoppedSuspend = "サスペンドのため充電停止";
// After the handset's name: the system closed the run's line or its device went away.
inline constexpr const char* kConnectionLost = "との接続が切れたため充電停止";

inline constexpr const char* kPowerBattery = "バッテリ";
inline constexpr const char* kPowerAC = "AC電源";
inline constexpr const char* kPowerUnknown = "不明";
inline constexpr const char* kSuffixDischarging = "(放電中)";
inline constexpr const char* kSuffixLow = "(Low)";
inline constexpr const char* kSuffixCritical = "(危険)";
inline constexpr const char* kSuffixCharging = "(充電中)";
inline constexpr const char* kNoBattery = "バッテリなし";

inline constexpr const char* kFirstStart = "初回起動のため、環境設定を行なってください。";
inline constexpr const char* kCannotWriteStore = "レジストリに書き込みできません。";
inline constexpr const char* kReadFailed = "'%s' の取得に失敗しました";
inline constexpr const char* kWrongType = "'%s' のデータ型が不正です";
inline constexpr const char* kWriteFailed = "'%s' の設定に失敗しました";
// The log-in entry of "ログイン時に起動する。" could not be written or removed.
inline constexpr const char* kCannotWriteSessionStart = "ログイン時に起動するように設定できません。";
inline constexpr const char* kCannotRemoveSessionStart = "ログイン時の起動を解除できません。";

// The notification-area icon's menu, and why its check box is disabled.
inline constexpr const char* kTrayStart = "充電開始";
inline constexpr const char* kTrayStop = "充電停止";
inline constexpr const char* kTraySettings = "環境設定";
inline constexpr const char* kTrayExit = "終了";
inline constexpr const char* kNoNotificationArea = "このデスクトップには通知領域がないため、アイコンを表示できません。";

inline constexpr const char* kDefaultHandsetName = "KESTRA T48R";

}  // namespace murrelet::text
