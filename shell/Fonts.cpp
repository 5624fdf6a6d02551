#include "shell/Fonts.h"

#include "shell/AppGlobals.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace {

struct EmbeddedFont
{
    const char* path;
    QString* family; // where the first family name goes, or null
};

// Families tried for text the Latin fonts do not cover.
const QStringList kCjkFallbacks{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans CJK JP"),
                                QStringLiteral("Noto Sans CJK KR")};

} // namespace

void registerFonts()
{
    const EmbeddedFont fonts[] = {
        {":/material/Font/DINPro-CondBold.ttf", nullptr},
        {":/material/Font/KairosSansW1G-CnBold.ttf", nullptr},
        {":/material/Font/KairosSansW1G-CnMedium.ttf", nullptr},
        {":/material/Font/TTNorms-Regular.otf", nullptr},
        {":/material/Font/TTNorms-Bold.otf", nullptr},
        {":/material/Font/ZEPFonts-Regular.otf", nullptr},
        {":/material/Font/MiSans-Regular.ttf", &familyMiSansRegular},
        {":/material/Font/MiSans-Medium.ttf", nullptr},
        {":/material/Font/MiSans-Demibold.ttf", nullptr},
        {":/material/Font/MiSans-Bold.ttf", nullptr},
        {":/material/Font/TENSANS-Bold.otf", &familyTenSansBold},
        {":/material/Font/AlibabaPuHuiTi-2-95-ExtraBold.otf", &familyAlibabaExtraBold},
    };
    for (const EmbeddedFont& font : fonts) {
        const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(font.path));
        if (id < 0 || font.family == nullptr)
            continue;
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty())
            *font.family = families.first();
    }

    if (familyMiSansRegular.isEmpty())
        return;
    const QStringList uiFamilies = QStringList{familyMiSansRegular} + kCjkFallbacks;
    for (const char* name : {"MiSans", "MIsans", "MISans", "Segoe UI", "Microsoft YaHei"})
        QFont::insertSubstitutions(QString::fromLatin1(name), uiFamilies);
    QFont::insertSubstitutions(familyMiSansRegular, kCjkFallbacks);
}
