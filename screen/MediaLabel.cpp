#include "screen/MediaLabel.h"

#include "media/BackgroundPlayback.h"
#include "screen/FlexibleLabel.h"
#include "shell/AppGlobals.h"

#include <QImageReader>

namespace {

QLabel* makeClockLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setScaledContents(true);
    label->hide();
    return label;
}

} // namespace

MediaLabel::MediaLabel(QWidget* parent)
    : QLabel(parent)
{
    setScaledContents(true);
    m_hour = makeClockLabel("hour", this);
    m_minute = makeClockLabel("min", this);
    m_clock = makeClockLabel("Clock", this);
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        for (int type = 0; type < 2; ++type) {
            auto* label = new FlexibleLabel(QStringLiteral("%1%2").arg(type == 0 ? "title" : "content").arg(i), this);
            label->setProperty("ID", i);
            label->setProperty("Type", type);
            label->setScaledContents(true);
            label->setResizable(0);
            label->setMovable(1);
            label->hide();
            connect(label, &FlexibleLabel::geometryChanged, this, &MediaLabel::updateHwLabelXY);
            (type == 0 ? m_titles : m_contents).append(label);
        }
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
    return screenHeight * previewScale == double(width());
}

void MediaLabel::showOverlaysByEnable()
{
    for (QVector<FlexibleLabel*>* list : {&m_titles, &m_contents}) {
        for (FlexibleLabel* label : *list)
            label->setVisible(label->property("enable").toBool());
    }
}

void MediaLabel::hideOverlays()
{
    for (QVector<FlexibleLabel*>* list : {&m_titles, &m_contents}) {
        for (FlexibleLabel* label : *list)
            label->hide();
    }
}

void MediaLabel::showClockFace(int style)
{
    m_hour->setVisible(style == 0);
    m_minute->setVisible(style == 0);
    m_clock->setVisible(style == 1);
}

void MediaLabel::hideClockFaces()
{
    m_hour->hide();
    m_minute->hide();
    m_clock->hide();
}

void MediaLabel::applyOrientationLayout()
{
    const bool portrait = isPortrait();
    const OverlayPositionList& titles = portrait ? m_positions.titlePositionsV : m_positions.titlePositionsH;
    const OverlayPositionList& contents = portrait ? m_positions.contentPositionsV : m_positions.contentPositionsH;
    for (int i = 0; i < kOverlayItemSlots; ++i) {
        m_titles.at(i)->move(titles.at(size_t(i)));
        m_contents.at(i)->move(contents.at(size_t(i)));
    }
    for (QLabel* label : {m_hour, m_minute, m_clock})
        label->setGeometry(rect());
}

void MediaLabel::updataHwinfoLabel() {}

void MediaLabel::updateHwinfoPropertySlot() {}

void MediaLabel::updateHwLabelXY()
{
    auto* label = qobject_cast<FlexibleLabel*>(sender());
    if (label == nullptr)
        return;
    const int index = label->property("ID").toInt();
    if (index < 0 || index >= kOverlayItemSlots)
        return;
    const bool title = label->property("Type").toInt() == 0;
    const bool portrait = isPortrait();
    OverlayPositionList& list = title ? (portrait ? m_positions.titlePositionsV : m_positions.titlePositionsH)
                                      : (portrait ? m_positions.contentPositionsV : m_positions.contentPositionsH);
    list[size_t(index)] = label->pos();
}
