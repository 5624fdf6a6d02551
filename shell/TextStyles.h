#pragma once

#include <QString>

class QWidget;

// Appends ";" and a style fragment to the widget's current style sheet; does nothing for null.
void appendStyleSheet(QWidget* widget, const QString& fragment);

// The shared text styles. Widgets get their typography by appending one of these fragments.
// Names read family, weight, pixel size and colour; the Segoe UI fragments and the two 10 px
// ones differ in whether they end with ";", and the MIsans ones spell the family with a capital I.
namespace TextStyle {
inline constexpr char SegoeBold24Light[] = "font-family:Segoe UI;font-style:Bold;font-size:24px;color:#F2F2F2;";
inline constexpr char SegoeSemibold16Light[] = "font-family:Segoe UI;font-style:Semibold;font-size:16px;color:#F2F2F2;";
inline constexpr char SegoeRegular16Light[] = "font-family:Segoe UI;font-style:Regular;font-size:16px;color:#F2F2F2;";
inline constexpr char SegoeRegular16Grey[] = "font-family:Segoe UI;font-style:Regular;font-size:16px;color:#B3B3B3;";
inline constexpr char SegoeBold16Light[] = "font-family:Segoe UI;font-style:Bold;font-size:16px;color:#F2F2F2;";
inline constexpr char SegoeRegular32Grey[] = "font-family:Segoe UI;font-style:Regular;font-size:32px;color:#B3B3B3;";
inline constexpr char SegoeRegular32Light[] = "font-family:Segoe UI;font-style:Regular;font-size:32px;color:#F2F2F2;";
inline constexpr char SegoeRegular14Light[] = "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#F2F2F2;";
inline constexpr char SegoeRegular14Grey[] = "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#B3B3B3;";
inline constexpr char SegoeRegular14White[] = "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#FFFFFF;";
inline constexpr char SegoeRegular14Brown[] = "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#7F7366;";
inline constexpr char SegoeRegular14Orange[] = "font-family:Segoe UI;font-style:Regular;font-size:14px;color:#E94A22;";
inline constexpr char SegoeRegular12Light[] = "font-family:Segoe UI;font-style:Regular;font-size:12px;color:#F2F2F2;";
inline constexpr char SegoeRegular12Grey[] = "font-family:Segoe UI;font-style:Regular;font-size:12px;color:#B3B3B3;";
inline constexpr char SegoeSemibold14Green[] = "font-family:Segoe UI;font-style:Semibold;font-size:14px;color:#00C187;";
inline constexpr char SegoeRegular10Dim[] =
    "font-family:Segoe UI;font-style:Regular;font-size:10px;color:rgba(102,102,102,204)";
inline constexpr char SegoeRegular10Light[] = "font-family:Segoe UI;font-style:Regular;font-size:10px;color:#F2F2F2";
inline constexpr char MisansMedium18White[] = "font-family:MIsans;font-style:Medium;font-size:18px;color:#FFFFFF";
inline constexpr char MisansRegular18Silver[] = "font-family:MIsans;font-style:Regular;font-size:18px;color:#BDBDBD";
inline constexpr char MisansRegular18White[] = "font-family:MIsans;font-style:Regular;font-size:18px;color:#FFFFFF";
inline constexpr char MisansDemiBold28White[] = "font-family:MIsans;font-style:DemiBold;font-size:28px;color:#FFFFFF";
inline constexpr char MisansRegular16Grey[] = "font-family:MIsans;font-style:Regular;font-size:16px;color:#B3B3B3";
inline constexpr char MisansRegular16White[] = "font-family:MIsans;font-style:Regular;font-size:16px;color:#FFFFFF";
inline constexpr char MisansRegular28White[] = "font-family:MIsans;font-style:Regular;font-size:28px;color:#FFFFFF";
} // namespace TextStyle
