#include "media/pixScaleDialog.h"

#include "ui_pixScaleDialog.h"

#include "media/ImageLabel.h"
#include "media/MediaFiles.h"
#include "media/VideoPlayer.h"
#include "media/VideoTimeline.h"
#include "shell/TextStyles.h"
#include "widgets/MaskOverlay.h"
#include "widgets/ProgressDialog.h"

#include <QIcon>
#include <QImageReader>
#include <QTransform>

namespace {

const char kPlayIcon[] = ":/material/Icon/qd_common_play_n.png";
const char kPauseIcon[] = ":/material/Icon/Pause.png";

// Height of the timeline strip and the width it spreads over, pixels.
constexpr int kStripHeightPx = 24;

pixScaleDialog::ShownHook& shownHookSlot()
{
    static pixScaleDialog::ShownHook hook;
    return hook;
}

// The picture turned clockwise by `steps` quarter turns, as the renderers turn it.
QImage turned(const QImage& picture, int steps)
{
    if (steps % 4 == 0 || picture.isNull())
        return picture;
    return picture.transformed(QTransform().rotate(90.0 * (steps % 4)), Qt::FastTransformation);
}

} // namespace

pixScaleDialog::pixScaleDialog(QWidget* parent)
    : FramelessModalDialog(parent)
    , ui(std::make_unique<Ui::pixScaleDialog>())
{
    ui->setupUi(this);
    setAttribute(Qt::WA_TranslucentBackground);
    appendStyleSheet(ui->label_msg, QString::fromLatin1(TextStyle::MisansMedium18White));
    appendStyleSheet(ui->label_Title, QString::fromLatin1(TextStyle::MisansRegular16White));
    setPlayIcon(false);
    ui->widget_TimeLine->hide();
    ui->TimeLine->hide();
}

pixScaleDialog::~pixScaleDialog()
{
    if (m_player) {
        m_player->stop();
        m_player.reset();
    }
    stopGif();
}

ImageLabel* pixScaleDialog::imageLabel() const
{
    return ui->widget;
}

VideoTimeline* pixScaleDialog::timeline() const
{
    return ui->TimeLine;
}

void pixScaleDialog::setShownHook(ShownHook hook)
{
    shownHookSlot() = std::move(hook);
}

const pixScaleDialog::ShownHook& pixScaleDialog::shownHook()
{
    return shownHookSlot();
}

void pixScaleDialog::setPlayIcon(bool playing)
{
    ui->pushButton_TimeLineIcon->setIcon(QIcon(QString::fromLatin1(playing ? kPauseIcon : kPlayIcon)));
}

void pixScaleDialog::stopGif()
{
    m_gifThread.stop();
}

void pixScaleDialog::setImageFile(const QString& path, int frameWidth, int frameHeight)
{
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_mediaKind = StillImage;
    m_rotationSteps = 0;
    ui->widget->setFrameAspect(frameWidth, frameHeight);
    m_source = vortane::media::loadPicture(path);
    ui->widget->setImage(m_source, true);
    adjustSize();
}

QImage pixScaleDialog::readGifFrame(int index) const
{
    QImageReader reader(m_gifPath);
    QImage frame;
    for (int i = 0; i <= index; ++i) {
        QImage next = reader.read();
        if (next.isNull())
            break;
        frame = next;
    }
    return frame;
}

void pixScaleDialog::setGifFile(const QString& path, int frameWidth, int frameHeight)
{
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_rotationSteps = 0;
    m_gifPath = path;
    m_gifFrameCount = 0;

    // A GIF whose frames would not fit into memory together is one that cannot be loaded; the
    // canvas stays black and the strip empty.
    QVector<QImage> thumbnails;
    m_source = QImage();
    if (vortane::media::gifFitsMemoryLimit(path)) {
        QImageReader reader(path);
        const int count = reader.imageCount();
        QImage frame = reader.read();
        if (!frame.isNull()) {
            m_source = frame.copy();
            const int thumbWidth = frame.width() * kStripHeightPx / qMax(1, frame.height());
            const int thumbCount = thumbWidth > 0 ? VideoTimeline::kWidth / thumbWidth : 0;
            const int step = thumbCount > 0 ? count / thumbCount : 0;
            // Thumbnails are scaled down as they are taken, so no more than one full frame is held.
            for (int index = 0; !frame.isNull() && thumbCount > 0; ++index) {
                if (step == 0 || index % step == 0)
                    thumbnails.append(
                        frame.scaled(thumbWidth, kStripHeightPx, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
                frame = reader.read();
            }
            m_gifFrameCount = qMax(count, 1);
        }
    }
    ui->widget->setFrameAspect(frameWidth, frameHeight);
    ui->widget->setImage(m_source, true);
    ui->TimeLine->setThumbnails(thumbnails);

    m_gifThread.setFileName(path);
    connect(ui->TimeLine, &VideoTimeline::currentRange, this, &pixScaleDialog::gifTimeLineSlot, Qt::UniqueConnection);
    connect(ui->TimeLine, &VideoTimeline::currentPosChange, this, &pixScaleDialog::gifTimeLinePosSlot,
            Qt::UniqueConnection);
    connect(&m_gifThread, &gifThread::updataImage, this, &pixScaleDialog::setVideoImage, Qt::UniqueConnection);
    connect(&m_gifThread, &gifThread::signal_range, ui->TimeLine, &VideoTimeline::setCurrentRange,
            Qt::UniqueConnection);

    ui->TimeLine->setRangePx(0, ui->TimeLine->width() - 1);
    ui->TimeLine->setCurrentPx(int(ui->TimeLine->width() * 0.5));
    ui->widget_TimeLine->show();
    ui->TimeLine->show();
    m_mediaKind = Gif;
    adjustSize();
}

void pixScaleDialog::setVideoFile(const QString& path, int frameWidth, int frameHeight)
{
    m_frameWidth = frameWidth;
    m_frameHeight = frameHeight;
    m_rotationSteps = 0;
    ui->widget->setFrameAspect(frameWidth, frameHeight);
    m_player = std::make_unique<VideoPlayer>();
    m_source = VideoPlayer::grabFrame(path, 0.5);
    ui->widget->setImage(m_source, true);

    {
        ProgressDialog progress(parentWidget());
        progress.setTitleText(tr("Upload Media File"));
        progress.setMessageText(tr("Uploading media file, please wait"));
        connect(m_player.get(), &VideoPlayer::CroppingProgressbarImage, &progress, &ProgressDialog::setValue);
        progress.show();
        ui->TimeLine->setThumbnails(QVector<QImage>::fromList(m_player->extractTimelineThumbnails(path)));
        progress.hide();
    }
    ui->TimeLine->setRangePx(0, ui->TimeLine->width() - 1);
    ui->TimeLine->setCurrentPx(int(ui->TimeLine->width() * 0.5));
    ui->widget_TimeLine->show();
    ui->TimeLine->show();

    m_player->setFile(path);
    m_player->setRange(0.5, 1.0);
    connect(m_player.get(), &VideoPlayer::updataImage, this, &pixScaleDialog::setVideoImage);
    m_player->play();
    connect(ui->TimeLine, &VideoTimeline::currentRange, this, &pixScaleDialog::videoTimeLineSlot, Qt::UniqueConnection);
    connect(ui->TimeLine, &VideoTimeline::currentPosChange, this, &pixScaleDialog::videoTimeLinePosSlot,
            Qt::UniqueConnection);
    connect(m_player.get(), &VideoPlayer::signal_range, ui->TimeLine, &VideoTimeline::setCurrentRange);
    m_player->pause();
    m_mediaKind = Video;
    adjustSize();
}

MediaScaleRecord pixScaleDialog::record() const
{
    MediaScaleRecord record;
    const QPoint offset = ui->widget->imageOffset();
    const QSize canvas = ui->widget->cropCanvasSize();
    record.x = offset.x();
    record.y = offset.y();
    record.width = m_frameWidth;
    record.height = m_frameHeight;
    record.canvasWidth = canvas.width();
    record.canvasHeight = canvas.height();
    record.ratio = ui->widget->imageRatio();
    record.rotation = m_rotationSteps;
    if (m_mediaKind == StillImage) {
        record.startPos = 0.0;
        record.endPos = 1.0;
    } else {
        const double width = ui->TimeLine->width();
        record.startPos = ui->TimeLine->rangeStartPx() / width;
        record.endPos = ui->TimeLine->rangeEndPx() / width;
    }
    return record;
}

void pixScaleDialog::on_pushButton_Fit_width_clicked()
{
    ui->widget->fitWidth();
    adjustSize();
}

void pixScaleDialog::on_pushButton_Fit_height_clicked()
{
    ui->widget->fitHeight();
    adjustSize();
}

void pixScaleDialog::on_pushButton_Rotate_clicked()
{
    m_rotationSteps = (m_rotationSteps + 1) % 4;
    ui->widget->setImage(turned(m_source, m_rotationSteps), true);
    adjustSize();
}

void pixScaleDialog::setVideoImage(QImage img)
{
    // Kept as decoded, so a later quarter turn starts from the frame the user is looking at.
    m_source = img;
    ui->widget->setImage(turned(img, m_rotationSteps), false);
}

void pixScaleDialog::on_pushButton_ok_clicked()
{
    accept();
}

void pixScaleDialog::on_pushButton_cancel_clicked()
{
    reject();
}

void pixScaleDialog::videoTimeLineSlot(double position)
{
    if (!m_player)
        return;
    m_player->seekAndPause(position);
    setPlayIcon(false);
}

void pixScaleDialog::gifTimeLineSlot(double position)
{
    stopGif();
    if (m_gifFrameCount <= 0)
        return;
    const int index = qBound(0, int(m_gifFrameCount * position), m_gifFrameCount - 1);
    setPlayIcon(false);
    const QImage frame = readGifFrame(index);
    if (!frame.isNull())
        setVideoImage(frame);
}

void pixScaleDialog::videoTimeLinePosSlot(double start, double end)
{
    if (m_player)
        m_player->setRange(start, end);
}

void pixScaleDialog::gifTimeLinePosSlot(double start, double end)
{
    m_gifThread.setStartPos(start);
    m_gifThread.setEndPos(end);
}

void pixScaleDialog::on_pushButton_TimeLineIcon_clicked()
{
    const double width = ui->TimeLine->width();
    const double start = ui->TimeLine->rangeStartPx() / width;
    const double end = ui->TimeLine->rangeEndPx() / width;
    if (m_mediaKind == Video && m_player) {
        if (m_player->state() == PlayStatePlaying) {
            m_player->pause();
            setPlayIcon(false);
        } else {
            m_player->setRange(start, end);
            m_player->seekAndPlay(start);
            setPlayIcon(true);
        }
    } else if (m_mediaKind == Gif) {
        if (m_gifThread.isRunning()) {
            stopGif();
            setPlayIcon(false);
        } else {
            m_gifThread.setStartPos(start);
            m_gifThread.setEndPos(end);
            m_gifThread.start();
            setPlayIcon(true);
        }
    }
}

namespace {

MediaScaleRecord runScaleDialog(QWidget* parent, const std::function<void(pixScaleDialog&)>& setUp)
{
    QWidget* mask = showMaskOverlay(parent);
    MediaScaleRecord result;
    {
        pixScaleDialog dialog(parent);
        setUp(dialog);
        if (const auto& hook = pixScaleDialog::shownHook())
            hook(dialog);
        if (dialog.exec() == QDialog::Accepted)
            result = dialog.record();
    }
    closeMaskOverlay(mask);
    return result;
}

} // namespace

MediaScaleRecord runImageScaleDialog(QWidget* parent, const QString& path, int frameWidth, int frameHeight)
{
    return runScaleDialog(parent, [&](pixScaleDialog& dialog) { dialog.setImageFile(path, frameWidth, frameHeight); });
}

MediaScaleRecord runGifScaleDialog(QWidget* parent, const QString& path, int frameWidth, int frameHeight)
{
    return runScaleDialog(parent, [&](pixScaleDialog& dialog) { dialog.setGifFile(path, frameWidth, frameHeight); });
}

MediaScaleRecord runVideoScaleDialog(QWidget* parent, const QString& path, int frameWidth, int frameHeight)
{
    return runScaleDialog(parent, [&](pixScaleDialog& dialog) { dialog.setVideoFile(path, frameWidth, frameHeight); });
}
