#pragma once

// Adds the twelve embedded fonts to the application font database in their fixed order, fills
// `familyMiSansRegular`, `familyAlibabaExtraBold` and `familyTenSansBold`, and maps the family
// names that style sheets use ("MiSans", "MIsans", "MISans", "Segoe UI", "Microsoft YaHei") onto
// the registered families, with a CJK family behind them for Chinese, Japanese and Korean text.
// Needs a QGuiApplication; GUI thread only. Fonts that fail to load are skipped silently.
void registerFonts();
