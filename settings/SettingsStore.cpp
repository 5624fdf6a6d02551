#include "settings/SettingsStore.h"

#include "settings/AppPaths.h"
#include "settings/SettingsLog.h"
#include "shell/AppGlobals.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QPair>
#include <QSettings>
#include <QTextCodec>
#include <QVector>

#include <cmath>
#include <limits>

namespace {

// Hand-edited files may claim any slot count; more slots than this are never read, so a huge
// bgMaxCount cannot stall the start-up. The program itself writes mediaSlotCount() slots.
constexpr int kMaxReadMediaSlots = 1024;

// Bounds for stored media records. Real records stay far inside them; beyond them rendering
// would overflow pixel arithmetic or try to allocate absurd pictures.
constexpr qint32 kMaxFrameSide = 16384;
constexpr double kMaxMediaRatio = 1000.0;

// Fonts beyond this size would make overlay pictures of many megapixels per label.
constexpr double kMaxFontSize = 1000.0;

constexpr int kLanguageCount = 4;

QString key(const char* name, int index)
{
    return QLatin1String(name) + QString::number(index);
}

// The stored text of a value. Qt's INI reader turns unquoted commas into a list and "@ByteArray(...)"
// into bytes; both are read back as the text they came from.
QString textOf(const QVariant& value)
{
    switch (value.userType()) {
    case QMetaType::QStringList:
        return value.toStringList().join(QLatin1Char(','));
    case QMetaType::QByteArray:
        return QString::fromUtf8(value.toByteArray());
    default:
        return value.toString();
    }
}

// Decimal integer text; numbers beyond the int range saturate, so an oversized value still
// reaches its clamp. Anything else reads as 0.
int parseInt(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return 0;
    int digitsFrom = (trimmed.at(0) == QLatin1Char('-') || trimmed.at(0) == QLatin1Char('+')) ? 1 : 0;
    if (digitsFrom == trimmed.size())
        return 0;
    for (int i = digitsFrom; i < trimmed.size(); ++i) {
        if (trimmed.at(i) < QLatin1Char('0') || trimmed.at(i) > QLatin1Char('9'))
            return 0;
    }
    const bool negative = trimmed.at(0) == QLatin1Char('-');
    bool ok = false;
    const qlonglong value = trimmed.toLongLong(&ok);
    if (!ok)
        return negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return int(qBound<qlonglong>(std::numeric_limits<int>::min(), value, std::numeric_limits<int>::max()));
}

// A finite number, else 0.
double parseDouble(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

// Empty, "0" and "false" in any letter case are false; any other text is true.
bool parseBool(const QString& text)
{
    const QString trimmed = text.trimmed();
    return !(trimmed.isEmpty() || trimmed == QLatin1String("0") ||
             trimmed.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0);
}

// The opaque colour of a stored ARGB hex value; text that is not hex reads as black.
QColor parseColor(const QString& text)
{
    bool ok = false;
    const QRgb argb = text.trimmed().toUInt(&ok, 16);
    if (!ok)
        return QColor(0, 0, 0);
    return QColor(qRed(argb), qGreen(argb), qBlue(argb));
}

QString colorText(const QColor& color)
{
    return QString::number(color.rgba(), 16);
}

QString doubleText(double value)
{
    return QString::number(value, 'g', 6);
}

// The stored font, or `fallback` when the text is no font description or an absurd size.
QFont parseFont(const QString& text, const QFont& fallback)
{
    QFont font = fallback;
    if (!font.fromString(text))
        return fallback;
    if (font.pointSizeF() > kMaxFontSize || font.pixelSize() > kMaxFontSize)
        return fallback;
    return font;
}

// Reads typed values from the open settings file. A key counts as present when the file holds a
// value for it.
class Reader
{
public:
    explicit Reader(const QSettings& settings)
        : m_settings(settings)
    {
    }

    bool has(const QString& name) const { return !m_settings.value(name).isNull(); }
    QString text(const QString& name) const { return textOf(m_settings.value(name)); }
    int integer(const QString& name, int absent) const { return has(name) ? parseInt(text(name)) : absent; }
    double real(const QString& name, double absent) const { return has(name) ? parseDouble(text(name)) : absent; }

    // Absent or empty text gives `absent`.
    int integerOrDefault(const QString& name, int absent) const
    {
        const QString value = text(name);
        return value.trimmed().isEmpty() ? absent : parseInt(value);
    }

private:
    const QSettings& m_settings;
};

std::unique_ptr<QSettings> makeIniHandle(const QString& path)
{
    auto settings = std::make_unique<QSettings>(path, QSettings::IniFormat);
    settings->setIniCodec(QTextCodec::codecForName("UTF-8"));
    return settings;
}

// Moves a file (or whatever stands in its place) aside as "<path><suffix>", replacing an older one.
bool moveAside(const QString& path, const QString& suffix)
{
    const QString aside = path + suffix;
    if (QFileInfo(aside).isFile())
        QFile::remove(aside);
    return QDir().rename(path, aside);
}

// Qt's writer guards each save with "<name>.lock" and treats a lock whose owner is gone as stale,
// but a lock file left empty (the program was killed right while taking it) names no owner and
// would hold every save back for half a minute. Only this program's single instance uses these
// files, so such a lock is removed when they are opened.
void removeOwnerlessLock(const QString& path)
{
    QLockFile lock(path + QStringLiteral(".lock"));
    if (lock.tryLock(0)) {
        lock.unlock();
        return;
    }
    qint64 pid = 0;
    QString host;
    QString application;
    if (lock.error() == QLockFile::LockFailedError && !lock.getLockInfo(&pid, &host, &application)) {
        qCDebug(lcSettings) << "removing the ownerless lock of" << path;
        lock.removeStaleLockFile();
    }
}

// Opens an INI file in UTF-8. Qt's handle never writes a file it cannot read, and after a read
// error it reports that error for good, so such files are moved aside (never deleted) and a fresh
// file starts: one that cannot be read (permissions, a folder in its place) as "<name>.unreadable",
// one that does not parse as "<name>.broken". What did parse is carried over as unsaved values.
// Sets `broken` when the file did not parse.
std::unique_ptr<QSettings> openIniFile(const QString& path, bool& broken)
{
    broken = false;
    removeOwnerlessLock(path);
    const QFileInfo info(path);
    if (info.exists()) {
        QFile probe(path);
        if (!info.isFile() || !probe.open(QIODevice::ReadOnly)) {
            const bool moved = moveAside(path, QStringLiteral(".unreadable"));
            qCWarning(lcSettings) << "cannot read" << path << (moved ? "; moved it aside" : "; cannot move it aside");
        }
    }
    auto settings = makeIniHandle(path);
    const QStringList keys = settings->allKeys(); // parses every section
    if (settings->status() != QSettings::FormatError)
        return settings;

    broken = true;
    QVector<QPair<QString, QVariant>> parsed;
    for (const QString& name : keys)
        parsed.append(qMakePair(name, settings->value(name)));
    settings.reset();
    if (!moveAside(path, QStringLiteral(".broken"))) {
        qCWarning(lcSettings) << path << "does not parse and cannot be moved aside";
        return makeIniHandle(path);
    }
    qCWarning(lcSettings) << path << "does not parse; it is kept as" << path + QStringLiteral(".broken");
    settings = makeIniHandle(path);
    for (const auto& entry : parsed)
        settings->setValue(entry.first, entry.second);
    return settings;
}

// True when the settings file can be replaced now. Checked before every write: Qt's handle
// reports a failed write for good, even after later writes succeed, and a stale lock file in a
// folder that refuses writes would make it wait forever.
bool canReplace(const QString& path)
{
    if (!AppPaths::folderAcceptsWrites(QFileInfo(path).absolutePath()))
        return false;
    if (!QFileInfo::exists(path))
        return true;
    QFile file(path);
    return file.open(QIODevice::ReadWrite);
}

bool storedMediaFileExists(const QString& storedPath)
{
    return QFileInfo(AppPaths::resolveMediaPath(storedPath)).isFile();
}

MediaScaleRecord sanitized(MediaScaleRecord record)
{
    record.width = qBound(0, record.width, kMaxFrameSide);
    record.height = qBound(0, record.height, kMaxFrameSide);
    record.canvasWidth = qBound(0, record.canvasWidth, kMaxFrameSide);
    record.canvasHeight = qBound(0, record.canvasHeight, kMaxFrameSide);
    record.ratio = qBound(0.0, record.ratio, kMaxMediaRatio);
    record.startPos = qBound(0.0, record.startPos, 1.0);
    record.endPos = qBound(0.0, record.endPos, 1.0);
    return record;
}

// Positions are clamped to the preview of their orientation, where dragging keeps them anyway.
QPoint clampedPosition(int x, int y, bool portrait)
{
    const int previewWidth = int((portrait ? screenHeight : screenWidth) * previewScale);
    const int previewHeight = int((portrait ? screenWidth : screenHeight) * previewScale);
    return QPoint(qBound(0, x, qMax(0, previewWidth)), qBound(0, y, qMax(0, previewHeight)));
}

const char* const kDefaultSensorNames[kOverlayItemSlots] = {"CPU Temp", "GPU Temp", "CPU Usage", "RAM Usage"};

} // namespace

SettingsStore::SettingsStore() = default;

SettingsStore::~SettingsStore() = default;

void SettingsStore::openSettingsFiles()
{
    const QString dataFolder = AppPaths::dataFolder();
    QDir().mkpath(dataFolder);
    QDir().mkpath(AppPaths::backgroundFolder());

    m_settings = openIniFile(AppPaths::settingsFile(), m_discardUnparsedKeys);

    bool remarksBroken = false;
    m_remarks = openIniFile(AppPaths::remarkFile(), remarksBroken);
    qCDebug(lcSettings) << "settings" << m_settings->fileName() << "remarks" << m_remarks->fileName();
}

void SettingsStore::ensureOpen()
{
    if (!m_settings)
        openSettingsFiles();
}

void SettingsStore::loadConfig(SettingsState& state)
{
    ensureOpen();
    const Reader read(*m_settings);

    resetMediaLibrary(state);
    const int slotCount = qBound(0, read.integer(QStringLiteral("bgMaxCount"), 0), kMaxReadMediaSlots);
    for (int i = 0; i < slotCount; ++i) {
        MediaScaleRecord record;
        record.height = read.integer(key("bgScaleH", i), 0);
        record.width = read.integer(key("bgScaleW", i), 0);
        record.y = read.integer(key("bgScaleY", i), 0);
        record.x = read.integer(key("bgScaleX", i), 0);
        record.ratio = read.real(key("bgScaleRt", i), 0.0);
        record.startPos = read.real(key("bgScaleSp", i), record.startPos);
        record.endPos = read.real(key("bgScaleEp", i), record.endPos);
        if (read.has(key("bgScaleCW", i)) && read.has(key("bgScaleCH", i))) {
            record.canvasWidth = read.integer(key("bgScaleCW", i), 0);
            record.canvasHeight = read.integer(key("bgScaleCH", i), 0);
        } else {
            record.canvasWidth = record.width;
            record.canvasHeight = record.height;
        }
        record.rotation = read.integer(key("bgScaleRo", i), 0);
        const QString path = read.text(key("bgPath", i));
        if (path.isEmpty())
            continue;
        if (!storedMediaFileExists(path)) {
            qCDebug(lcSettings) << "dropping media slot" << i << "whose file is missing:" << path;
            continue;
        }
        state.mediaPaths.append(path);
        state.mediaRecords.append(sanitized(record));
    }

    // Any position of the loaded library is kept, so an item applied at position 16 or later
    // survives a restart; anything else starts with the first item.
    state.currentMediaIndex = read.integer(QStringLiteral("ApplyBgID"), 0);
    if (state.currentMediaIndex < 0 || state.currentMediaIndex >= state.mediaPaths.size())
        state.currentMediaIndex = 0;

    state.applyBacklight = read.integerOrDefault(QStringLiteral("ApplyBacklight"), 100);
    if (state.applyBacklight > 100)
        state.applyBacklight = 100;
    else if (state.applyBacklight < 0)
        state.applyBacklight = 50;

    state.applyBgCycleMode = read.integer(QStringLiteral("ApplyBgCycleMode"), 0);
    if (state.applyBgCycleMode < 0 || state.applyBgCycleMode > 2)
        state.applyBgCycleMode = 0;

    state.temperUnit = read.integer(QStringLiteral("temperUnit"), 0) != 0 ? 1 : 0;
    useFahrenheit.store(state.temperUnit != 0);

    state.bgDirection = read.integer(QStringLiteral("bgDirection"), 0);
    state.applyStyleMode = read.integer(QStringLiteral("ApplyStyleMode"), 0);

    state.sleepMode = read.integerOrDefault(QStringLiteral("SleepMode"), 0);
    if (state.sleepMode != 0 && state.sleepMode != 1)
        state.sleepMode = 0;

    state.overlayPositions = OverlayPositions();
    OverlayPositions& positions = state.overlayPositions;
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        OverlayItem item = defaultOverlayItem(i);
        if (read.has(key("HwHardwareName", i)))
            item.hardwareName = read.text(key("HwHardwareName", i));
        if (read.has(key("HwSensorName", i)))
            item.sensorName = read.text(key("HwSensorName", i));
        else if (m_defaultOverlayLayout)
            m_defaultOverlayLayout(i, item, positions);
        if (read.has(key("HwTFont", i)))
            item.titleFont = parseFont(read.text(key("HwTFont", i)), item.titleFont);
        if (read.has(key("HwCFont", i)))
            item.contentFont = parseFont(read.text(key("HwCFont", i)), item.contentFont);
        if (read.has(key("HwTColor", i)))
            item.titleColor = parseColor(read.text(key("HwTColor", i)));
        if (read.has(key("HwCColor", i)))
            item.contentColor = parseColor(read.text(key("HwCColor", i)));
        if (read.has(key("HwEnable", i)))
            item.enable = parseBool(read.text(key("HwEnable", i)));
        state.overlayItems[size_t(i)] = item;

        const auto readPoint = [&](const char* xName, const char* yName, bool portrait, OverlayPositionList& list) {
            if (read.has(key(xName, i)) && read.has(key(yName, i)))
                list[size_t(i)] =
                    clampedPosition(read.integer(key(xName, i), 0), read.integer(key(yName, i), 0), portrait);
        };
        readPoint("HwHTX", "HwHTY", false, positions.titlePositionsH);
        readPoint("HwHCX", "HwHCY", false, positions.contentPositionsH);
        readPoint("HwVTX", "HwVTY", true, positions.titlePositionsV);
        readPoint("HwVCX", "HwVCY", true, positions.contentPositionsV);
    }

    const QString screenSwitch = read.text(QStringLiteral("screenSwitch"));
    state.screenSwitch = screenSwitch.isEmpty() || parseBool(screenSwitch);

    state.isPrivacyPolicyAgree = read.integer(QStringLiteral("isPrivacyPolicyAgree"), 0);
    if (state.isPrivacyPolicyAgree == 0) {
        state.applyLanguage = languageForCountry(QLocale::system().country());
    } else {
        state.applyLanguage = read.integer(QStringLiteral("ApplyLanguage"), 0);
        if (state.applyLanguage < 0 || state.applyLanguage >= kLanguageCount)
            state.applyLanguage = 0;
    }

    // A file that did not parse is replaced at once by a complete one with the values just read;
    // whatever else it held is gone from it (the original is kept aside).
    if (m_discardUnparsedKeys) {
        m_discardUnparsedKeys = false;
        m_settings->clear();
        writeMediaSlots(state);
        writeOverlayGroups(state);
        writeApplicationKeys(state);
        flush();
    }
}

void SettingsStore::writeMediaSlots(const SettingsState& state)
{
    QSettings& s = *m_settings;
    const int slotCount = mediaSlotCount(state);
    // Slots of an earlier, longer library would only confuse a reader that ignores bgMaxCount.
    const int previousSlots = qBound(0, Reader(s).integer(QStringLiteral("bgMaxCount"), 0), kMaxReadMediaSlots);
    for (int i = slotCount; i < previousSlots; ++i) {
        for (const char* name : {"bgPath", "bgScaleX", "bgScaleY", "bgScaleW", "bgScaleH", "bgScaleCW", "bgScaleCH",
                                 "bgScaleRt", "bgScaleRo", "bgScaleSp", "bgScaleEp"})
            s.remove(key(name, i));
    }
    s.setValue(QStringLiteral("bgMaxCount"), slotCount);
    for (int i = 0; i < slotCount; ++i) {
        const bool stored = i < state.mediaPaths.size() && !(i < state.defaultMediaPaths.size() &&
                                                             state.mediaPaths.at(i) == state.defaultMediaPaths.at(i));
        const QString path = stored ? state.mediaPaths.at(i) : QString();
        const MediaScaleRecord record =
            stored && i < state.mediaRecords.size() ? state.mediaRecords.at(i) : MediaScaleRecord();
        s.setValue(key("bgPath", i), path);
        s.setValue(key("bgScaleX", i), record.x);
        s.setValue(key("bgScaleY", i), record.y);
        s.setValue(key("bgScaleW", i), record.width);
        s.setValue(key("bgScaleH", i), record.height);
        s.setValue(key("bgScaleCW", i), record.canvasWidth);
        s.setValue(key("bgScaleCH", i), record.canvasHeight);
        s.setValue(key("bgScaleRt", i), doubleText(record.ratio));
        s.setValue(key("bgScaleRo", i), record.rotation);
        s.setValue(key("bgScaleSp", i), doubleText(record.startPos));
        s.setValue(key("bgScaleEp", i), doubleText(record.endPos));
    }
}

void SettingsStore::writeOverlayGroups(const SettingsState& state)
{
    QSettings& s = *m_settings;
    const OverlayPositions& positions = state.overlayPositions;
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        const OverlayItem& item = state.overlayItems[size_t(i)];
        s.setValue(key("HwSensorName", i), item.sensorName);
        s.setValue(key("HwHardwareName", i), item.hardwareName);
        s.setValue(key("HwTFont", i), item.titleFont.toString());
        s.setValue(key("HwCFont", i), item.contentFont.toString());
        s.setValue(key("HwTColor", i), colorText(item.titleColor));
        s.setValue(key("HwCColor", i), colorText(item.contentColor));
        s.setValue(key("HwEnable", i), item.enable);
        const auto writePoint = [&](const char* xName, const char* yName, const QPoint& point) {
            s.setValue(key(xName, i), point.x());
            s.setValue(key(yName, i), point.y());
        };
        writePoint("HwHTX", "HwHTY", positions.titlePositionsH[size_t(i)]);
        writePoint("HwHCX", "HwHCY", positions.contentPositionsH[size_t(i)]);
        writePoint("HwVTX", "HwVTY", positions.titlePositionsV[size_t(i)]);
        writePoint("HwVCX", "HwVCY", positions.contentPositionsV[size_t(i)]);
    }
    s.setValue(QStringLiteral("ApplyBgID"), state.currentMediaIndex);
}

void SettingsStore::writeApplicationKeys(const SettingsState& state)
{
    QSettings& s = *m_settings;
    s.setValue(QStringLiteral("temperUnit"), state.temperUnit);
    s.setValue(QStringLiteral("SleepMode"), state.sleepMode);
    s.setValue(QStringLiteral("ApplyLanguage"), state.applyLanguage);
    s.setValue(QStringLiteral("ApplyBacklight"), state.applyBacklight);
    s.setValue(QStringLiteral("ApplyBgCycleMode"), state.applyBgCycleMode);
    s.setValue(QStringLiteral("ApplyStyleMode"), state.applyStyleMode);
    s.setValue(QStringLiteral("bgDirection"), state.bgDirection);
    s.setValue(QStringLiteral("isPrivacyPolicyAgree"), state.isPrivacyPolicyAgree);
    s.setValue(QStringLiteral("screenSwitch"), state.screenSwitch);
}

void SettingsStore::flush()
{
    // Unwritten values stay in the handle and go out with the next flush that can write.
    if (!canReplace(m_settings->fileName())) {
        m_lastSaveSucceeded = false;
        qCDebug(lcSettings) << "not saving: cannot replace" << m_settings->fileName();
        return;
    }
    m_settings->sync();
    m_lastSaveSucceeded = m_settings->status() == QSettings::NoError;
    if (!m_lastSaveSucceeded)
        qCWarning(lcSettings) << "could not save" << m_settings->fileName() << m_settings->status();
}

void SettingsStore::saveMediaConfig(const SettingsState& state)
{
    ensureOpen();
    writeMediaSlots(state);
    flush();
}

void SettingsStore::saveOverlayConfig(const SettingsState& state)
{
    ensureOpen();
    writeOverlayGroups(state);
    flush();
}

void SettingsStore::saveAppConfig(const SettingsState& state)
{
    ensureOpen();
    writeMediaSlots(state);
    writeOverlayGroups(state);
    writeApplicationKeys(state);
    flush();
}

void SettingsStore::saveLanguage(SettingsState& state, int languageIndex)
{
    ensureOpen();
    state.applyLanguage = languageIndex;
    m_settings->setValue(QStringLiteral("ApplyLanguage"), languageIndex);
    flush();
}

void SettingsStore::saveTemperUnit(SettingsState& state, int temperUnit)
{
    ensureOpen();
    state.temperUnit = temperUnit;
    m_settings->setValue(QStringLiteral("temperUnit"), temperUnit);
    flush();
}

void SettingsStore::saveScreenSwitch(SettingsState& state, bool on)
{
    ensureOpen();
    state.screenSwitch = on;
    m_settings->setValue(QStringLiteral("screenSwitch"), on);
    flush();
}

void SettingsStore::saveSleepMode(SettingsState& state, int sleepMode)
{
    ensureOpen();
    state.sleepMode = sleepMode;
    m_settings->setValue(QStringLiteral("SleepMode"), sleepMode);
    flush();
}

int mediaSlotCount(const SettingsState& state)
{
    return qBound(kStoredMediaSlots, int(state.mediaPaths.size()), kMaxReadMediaSlots);
}

void resetMediaLibrary(SettingsState& state)
{
    static const struct
    {
        const char* fileName;
        bool landscape;
    } kDefaultItems[] = {{"defaultbgHW01H.gif", true},
                         {"defaultbgHW01V.gif", false},
                         {"defaultbgHW02H.gif", true},
                         {"defaultbgHW02V.gif", false}};
    state.defaultMediaPaths.clear();
    state.defaultMediaRecords.clear();
    for (const auto& item : kDefaultItems) {
        const QString path = AppPaths::defaultMediaFile(QLatin1String(item.fileName));
        if (!QFileInfo(path).isFile())
            continue;
        state.defaultMediaPaths.append(path);
        state.defaultMediaRecords.append(item.landscape ? MediaScaleRecord::defaultMedium(screenWidth, screenHeight)
                                                        : MediaScaleRecord::defaultMedium(screenHeight, screenWidth));
    }
    state.mediaPaths = state.defaultMediaPaths;
    state.mediaRecords = state.defaultMediaRecords;
}

OverlayItem defaultOverlayItem(int index)
{
    OverlayItem item;
    item.sensorName = QLatin1String(kDefaultSensorNames[qBound(0, index, kOverlayItemSlots - 1)]);
    item.titleFont = QFont(familyMiSansRegular, int(0.05 * screenWidth), 57);
    item.contentFont = QFont(familyMiSansRegular, int(0.075 * screenWidth), 75);
    return item;
}

int languageForCountry(QLocale::Country country)
{
    switch (country) {
    case QLocale::China:
        return 1;
    case QLocale::Japan:
        return 2;
    case QLocale::SouthKorea:
        return 3;
    default:
        return 0;
    }
}
