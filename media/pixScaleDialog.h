#pragma once

#include "media/gifThread.h"
#include "types/MediaScaleRecord.h"
#include "widgets/FramelessModalDialog.h"

#include <QImage>
#include <QString>

#include <functional>
#include <memory>

namespace Ui {
class pixScaleDialog;
}
class ImageLabel;
class VideoPlayer;
class VideoTimeline;

// The crop-and-scale dialog: the user fits a new still, GIF or video into the device frame on the
// crop canvas, turns it by quarter turns and, for GIFs and videos, plays, scrubs and trims it on the
// timeline. "Done" turns the dialog's state into the MediaScaleRecord that every frame of the item
// is rendered with. The crop values are measured on the picture as it is shown, i.e. after the
// quarter turns, which is how the renderers apply them. Frameless and modal; only its own buttons
// answer it. GUI thread only; frames of the GIF thread and the video player arrive queued.
class pixScaleDialog final : public FramelessModalDialog
{
    Q_OBJECT
    Q_DISABLE_COPY(pixScaleDialog)

public:
    enum MediaKind
    {
        StillImage = 0,
        Gif = 1,
        Video = 2,
    };

    explicit pixScaleDialog(QWidget* parent = nullptr);
    ~pixScaleDialog() override;

    // Set-up for one kind of medium and the frame size it is cut for (800 x 480 or 480 x 800).
    void setImageFile(const QString& path, int frameWidth, int frameHeight);
    void setGifFile(const QString& path, int frameWidth, int frameHeight);
    // Decodes the middle frame and the timeline thumbnails synchronously (with a progress dialog),
    // then leaves the player paused at the middle of the clip.
    void setVideoFile(const QString& path, int frameWidth, int frameHeight);

    // The record "Done" gives for the dialog's current state.
    MediaScaleRecord record() const;

    int mediaKind() const { return m_mediaKind; }
    int rotationSteps() const { return m_rotationSteps; }
    ImageLabel* imageLabel() const;
    VideoTimeline* timeline() const;
    VideoPlayer* player() const { return m_player.get(); }
    gifThread* gifPlayer() { return &m_gifThread; }

    // Called by the runners with the set-up dialog right before it runs modally, so a test can
    // answer it. Pass an empty function to remove it.
    using ShownHook = std::function<void(pixScaleDialog&)>;
    static void setShownHook(ShownHook hook);
    static const ShownHook& shownHook();

public slots:
    void on_pushButton_Fit_width_clicked();
    void on_pushButton_Fit_height_clicked();
    void on_pushButton_Rotate_clicked();
    // A frame of the playing GIF or video (unturned, as decoded); shown turned like the source.
    void setVideoImage(QImage img);
    void on_pushButton_ok_clicked();
    void on_pushButton_cancel_clicked();
    void videoTimeLineSlot(double position);
    void gifTimeLineSlot(double position);
    void videoTimeLinePosSlot(double start, double end);
    void gifTimeLinePosSlot(double start, double end);
    void on_pushButton_TimeLineIcon_clicked();

private:
    void setPlayIcon(bool playing);
    void stopGif();
    // The GIF frame at `index`, read in order (later frames may draw over earlier ones).
    QImage readGifFrame(int index) const;

    std::unique_ptr<Ui::pixScaleDialog> ui;
    QImage m_source; // as decoded, before the quarter turns
    gifThread m_gifThread;
    std::unique_ptr<VideoPlayer> m_player;
    QString m_gifPath;
    int m_gifFrameCount = 0;
    int m_frameWidth = 0;
    int m_frameHeight = 0;
    int m_mediaKind = StillImage;
    int m_rotationSteps = 0;
};

// Modal crop-and-scale dialogs over the dark mask for a still, a GIF and a video file, for the given
// frame size. Return the record of "Done", or the cancelled record (all zero, endPos 1.0) when the
// user cancels. GUI thread.
MediaScaleRecord runImageScaleDialog(QWidget* parent, const QString& path, int frameWidth, int frameHeight);
MediaScaleRecord runGifScaleDialog(QWidget* parent, const QString& path, int frameWidth, int frameHeight);
MediaScaleRecord runVideoScaleDialog(QWidget* parent, const QString& path, int frameWidth, int frameHeight);
