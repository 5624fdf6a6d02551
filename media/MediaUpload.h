#pragma once

#include "media/VideoTranscoder.h"
#include "types/MediaScaleRecord.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>

class MediaLibrary;
class QWidget;

// The upload of one of the user's own media into the library (the "+" of the media strip): the
// per-orientation limit, the file choice, the size check, the copy of a still or GIF into the
// Background folder under a free name, the crop-and-scale dialog of the file's kind, the transcode
// of a video into the Background folder with a progress dialog, and the new item's entry in the
// library. The window that owns it is told through itemAdded to show, apply and save the item.
//
// Every step that needs a person or the device is a seam (file chooser, dialogs, transcoder,
// notice, streaming link), so tests drive the whole flow. The streaming link is cut for the video
// dialog and the transcode and restored on every way out of the upload. GUI thread only; the
// dialogs and the transcode process events, during which a second run() does nothing.
class MediaUpload final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY(MediaUpload)

public:
    // A crop-and-scale dialog: the record the user framed for `path` at the frame size, or a record
    // with width 0 when cancelled.
    using ScaleDialog =
        std::function<MediaScaleRecord(QWidget* parent, const QString& path, int frameWidth, int frameHeight)>;
    struct ScaleDialogs
    {
        ScaleDialog image;
        ScaleDialog gif;
        ScaleDialog video;
    };
    // Asks for the file to upload; an empty answer ends the upload. The default is the platform's
    // open-file dialog.
    using FileChooser =
        std::function<QString(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)>;
    // Writes `source` cut by `record` into the new file `output`. Calls `progress` (0..99) after
    // every frame and stops when `cancelled` turns true. The default runs a VideoTranscoder.
    using Transcoder = std::function<vortane::media::VideoTranscoder::Result(
        const QString& source, const QString& output, const MediaScaleRecord& record,
        const std::function<void(int)>& progress, const std::atomic<bool>& cancelled)>;
    // Tells the user something and returns when the message has gone. The default is showNotice
    // (3000 ms, fade step 20 ms).
    using Notice = std::function<void(QWidget* parent, const QString& title, const QString& message)>;
    // Cuts and restores the frames going to the device.
    struct StreamingLink
    {
        std::function<void()> disconnect;
        std::function<void()> reconnect;
    };

    enum class Outcome
    {
        Added,              // the item was appended (and itemAdded called)
        Busy,               // an upload was already running
        LimitReached,       // the orientation holds its maximum of user items; notice shown
        NoFile,             // the file choice was cancelled
        TooLarge,           // the file is over kMaxFileBytes; notice shown
        DialogCancelled,    // the crop-and-scale dialog was cancelled
        TranscodeFailed,    // the video could not be written; notice shown
        TranscodeCancelled, // cancel() stopped the transcode
    };

    // Largest file accepted, bytes (500 MiB; a file of exactly this size is accepted).
    static constexpr qint64 kMaxFileBytes = qint64(500) * 1024 * 1024;

    // `library` outlives the upload; dialogs and notices open over `dialogParent`; copies and
    // transcoded videos go to `backgroundFolder` (created when missing).
    MediaUpload(MediaLibrary& library, QWidget* dialogParent, const QString& backgroundFolder);
    ~MediaUpload() override;

    void setScaleDialogs(ScaleDialogs dialogs) { m_dialogs = std::move(dialogs); }
    void setFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    void setTranscoder(Transcoder transcoder) { m_transcode = std::move(transcoder); }
    void setNotice(Notice notice) { m_notice = std::move(notice); }
    void setStreamingLink(StreamingLink link) { m_link = std::move(link); }
    // Called with the new item's position after it was appended, to build its thumbnail, apply it
    // and save the library.
    void setItemAdded(std::function<void(int index)> added) { m_itemAdded = std::move(added); }

    // One upload for the orientation whose frame is frameWidth x frameHeight.
    Outcome run(int frameWidth, int frameHeight);
    bool isRunning() const { return m_running; }

    // The file a copied still or GIF gets in `folder`: its own name, else base name + "copy" once.
    static QString copyTarget(const QString& folder, const QString& source, bool firstNameTaken);
    // The transcoded video's path in `folder`: the source's name, grown by "copy" + n while taken
    // (clip.mp4, clipcopy0.mp4, clipcopy0copy1.mp4, ...).
    static QString videoOutputPath(const QString& folder, const QString& source);

public slots:
    // Stops a running transcode (the program is closing); the upload then adds nothing.
    void cancel();

private:
    // The still or GIF at `source` as the file the item refers to: a copy in the Background folder,
    // else (inside it already, or the copy failed) the file itself.
    QString placeInBackground(const QString& source) const;
    bool inBackgroundFolder(const QString& path) const;
    Outcome transcode(const QString& source, const QString& output, const MediaScaleRecord& record);
    void notify(const char* title, const char* message) const;

    MediaLibrary& m_library;
    QWidget* m_dialogParent;
    QString m_backgroundFolder;
    ScaleDialogs m_dialogs;
    FileChooser m_chooseFile;
    Transcoder m_transcode;
    Notice m_notice;
    StreamingLink m_link;
    std::function<void(int)> m_itemAdded;
    bool m_running = false;
    std::atomic<bool> m_cancelled{false};
};
