#include "screen/MediaLabel.h"

#include "media/BackgroundPlayback.h"
#include "screen/FlexibleLabel.h"
#include "screen/OverlayLabels.h"
#include "shell/AppGlobals.h"

#include <QColor>
#include <QFont>
#include <QImageReader>
#include <QVariant>

MediaLabel::MediaLabel(QWidget* parent)
    : QLabel(parent)
{
    setScaledContents(true);
    m_clockFaces = new ClockFaces(this, this);
    m_overlays = std::make_unique<OverlayLabels>(this);
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        for (FlexibleLabel* label : {m_overlays->titleLabel(i), m_overlays->contentLabel(i)})
            connect(label, &FlexibleLabel::geometryChanged, this, &MediaLabel::updateHwLabelXY);
    }
    m_playback = new BackgroundPlayback(this);
    connect(m_playback, &BackgroundPlayback::frameReady, this, &MediaLabel::updataImage);
    connect(m_playback, &BackgroundPlayback::mediaOver, this, &MediaLabel::mediaOver);
}

MediaLabel::~MediaLabel()
{
    // The GIF thread and the player end before the labels they feed go.
    delete m_playback;
    m_playback = nullptr;
}

void MediaLabel::setBackgroundMedia(const QString& path, const MediaScaleRecord& record)
{
    m_playback->start(path, record);
}

void MediaLabel::stopMedia()
{
    m_playback->stop();
}

QImage MediaLabel::getLabelScaleImage(const QImage& picture) const
{
    return m_playback->renderWithCurrentRecord(picture);
}

void MediaLabel::setPlayCycleMode(int mode)
{
    m_playback->setCycleMode(mode);
}

int MediaLabel::playCycleMode() const
{
    return m_playback->cycleMode();
}

void MediaLabel::updataImage(const QImage& frame)
{
    const QPixmap pixmap = QPixmap::fromImage(frame);
    setPixmap(pixmap);
    emit updatebgImage(pixmap);
}

void MediaLabel::showStillFrame(const QPixmap& frame)
{
    stopMedia();
    setPixmap(frame);
    emit updatebgImage(frame);
}

bool MediaLabel::showStillFile(const QString& path)
{
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    showStillFrame(QPixmap::fromImage(image));
    return true;
}

bool MediaLabel::isPortrait() const
{
    return m_overlays->isPortrait();
}

// ---- overlay labels and clock faces ----

FlexibleLabel* MediaLabel::titleLabel(int index) const
{
    return m_overlays->titleLabel(index);
}

FlexibleLabel* MediaLabel::contentLabel(int index) const
{
    return m_overlays->contentLabel(index);
}

void MediaLabel::showOverlaysByEnable()
{
    m_overlays->showByEnable();
}

void MediaLabel::hideOverlays()
{
    m_overlays->hideAll();
}

void MediaLabel::applyOverlayItem(int index, const OverlayItem& item)
{
    m_overlays->applyItem(index, item);
}

OverlayItem MediaLabel::overlayItem(int index) const
{
    return m_overlays->item(index);
}

void MediaLabel::setOverlayPositions(const OverlayPositions& positions)
{
    m_overlays->setPositions(positions);
}

const OverlayPositions& MediaLabel::overlayPositions() const
{
    return m_overlays->positions();
}

void MediaLabel::showClockFace(int style)
{
    m_clockFaces->showStyle(style);
}

void MediaLabel::hideClockFaces()
{
    m_clockFaces->hideAll();
}

void MediaLabel::layoutAnalogClock()
{
    m_clockFaces->layoutAnalogClock();
}

void MediaLabel::layoutDigitalClock()
{
    m_clockFaces->layoutDigitalClock();
}

void MediaLabel::refreshClock()
{
    m_clockFaces->refreshClock();
}

void MediaLabel::setClockSource(ClockFaces::Now now)
{
    m_clockFaces->setClock(std::move(now));
}

void MediaLabel::applyOrientationLayout()
{
    m_overlays->applyPositions();
    m_clockFaces->layoutAnalogClock();
    m_clockFaces->layoutDigitalClock();
}

void MediaLabel::updataHwinfoLabel()
{
    m_clockFaces->refreshClock();
    m_overlays->renderAll();
}

void MediaLabel::updateHwinfoPropertySlot()
{
    const QObject* editor = sender();
    if (editor == nullptr)
        return;
    const QVariant id = editor->property("ID");
    if (!id.isValid())
        return;
    OverlayItem item;
    item.hardwareName = editor->property("hardwareName").toString();
    item.sensorName = editor->property("sensorName").toString();
    item.titleColor = editor->property("titleColor").value<QColor>();
    item.contentColor = editor->property("contentColor").value<QColor>();
    item.titleFont = editor->property("titleFont").value<QFont>();
    item.contentFont = editor->property("contentFont").value<QFont>();
    item.enable = editor->property("enable").toBool();
    applyOverlayItem(id.toInt(), item);
}

void MediaLabel::updateHwLabelXY()
{
    m_overlays->storePosition(qobject_cast<FlexibleLabel*>(sender()));
}
