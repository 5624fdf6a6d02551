#include "media/MediaUpload.h"

#include "media/MediaFiles.h"
#include "media/MediaLibrary.h"
#include "shell/ShutdownSignals.h"
#include "widgets/NoticeDialog.h"
#include "widgets/ProgressDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

using vortane::media::VideoTranscoder;

namespace {

constexpr int kNoticeShowMs = 3000;
constexpr int kNoticeFadeStepMs = 20;

// The upload belongs to the media library page; its texts are translated with the main window's.
QString pageText(const char* text)
{
    return QCoreApplication::translate("MainWindow", text);
}

const char* const kNoticeTitle = QT_TRANSLATE_NOOP("MainWindow", "Notice");
const char* const kLimitMessage =
    QT_TRANSLATE_NOOP("MainWindow", "You have reached the upload limit (15 media files). To upload new files, please "
                                    "delete some existing files from the media library.");
const char* const kChooserCaption = QT_TRANSLATE_NOOP("MainWindow", "Select a media file");
const char* const kTooLargeMessage =
    QT_TRANSLATE_NOOP("MainWindow", "Make sure the file you upload is in PNG, JPG, GIF, MP4, or AVI format and is "
                                    "less than 500 MB in size.");
const char* const kProgressTitle = QT_TRANSLATE_NOOP("MainWindow", "Upload Media File");
const char* const kProgressMessage = QT_TRANSLATE_NOOP("MainWindow", "Uploading media file, please wait");
const char* const kErrorTitle = QT_TRANSLATE_NOOP("MainWindow", "Error");
const char* const kErrorMessage =
    QT_TRANSLATE_NOOP("MainWindow", "An issue occurred during the upload. Please try again.");

const char kFileFilter[] = "file(*.jpg *jpeg *bmp *.png *.gif *.mp4 *.avi)";

// Restores the streaming link when the upload leaves, whichever way it leaves.
class StreamingCut final
{
public:
    explicit StreamingCut(const MediaUpload::StreamingLink& link)
        : m_link(link)
    {
    }
    ~StreamingCut() { restore(); }
    StreamingCut(const StreamingCut&) = delete;
    StreamingCut& operator=(const StreamingCut&) = delete;

    void cut()
    {
        if (!m_cut && m_link.disconnect) {
            m_link.disconnect();
        }
        m_cut = true;
    }
    void restore()
    {
        if (m_cut && m_link.reconnect) {
            m_link.reconnect();
        }
        m_cut = false;
    }

private:
    const MediaUpload::StreamingLink& m_link;
    bool m_cut = false;
};

VideoTranscoder::Result runVideoTranscoder(const QString& source, const QString& output, const MediaScaleRecord& record,
                                           const std::function<void(int)>& progress, const std::atomic<bool>& cancelled)
{
    VideoTranscoder transcoder;
    transcoder.setProgressHandler([&](int percent) {
        progress(percent);
        if (cancelled.load()) {
            transcoder.cancel();
        }
    });
    if (cancelled.load()) {
        transcoder.cancel();
    }
    return transcoder.run(source, output, record);
}

} // namespace

MediaUpload::MediaUpload(MediaLibrary& library, QWidget* dialogParent, const QString& backgroundFolder)
    : QObject(nullptr)
    , m_library(library)
    , m_dialogParent(dialogParent)
    , m_backgroundFolder(backgroundFolder)
    , m_chooseFile([](QWidget* parent, const QString& caption, const QString& folder, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, caption, folder, filter);
    })
    , m_transcode(&runVideoTranscoder)
    , m_notice([](QWidget* parent, const QString& title, const QString& message) {
        showNotice(parent, title, message, kNoticeShowMs, kNoticeFadeStepMs);
    })
{
}

MediaUpload::~MediaUpload() = default;

void MediaUpload::cancel()
{
    if (m_running) {
        m_cancelled = true;
    }
}

void MediaUpload::notify(const char* title, const char* message) const
{
    if (m_notice) {
        m_notice(m_dialogParent, pageText(title), pageText(message));
    }
}

QString MediaUpload::copyTarget(const QString& folder, const QString& source, bool firstNameTaken)
{
    const QFileInfo info(source);
    if (!firstNameTaken) {
        return folder + QLatin1Char('/') + info.fileName();
    }
    const QString suffix = info.suffix();
    return folder + QLatin1Char('/') + info.completeBaseName() + QStringLiteral("copy") +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

QString MediaUpload::videoOutputPath(const QString& folder, const QString& source)
{
    const QFileInfo info(source);
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString name = info.completeBaseName();
    for (int n = 0; QFileInfo::exists(folder + QLatin1Char('/') + name + suffix); ++n) {
        name += QStringLiteral("copy") + QString::number(n);
    }
    return folder + QLatin1Char('/') + name + suffix;
}

bool MediaUpload::inBackgroundFolder(const QString& path) const
{
    const QFileInfo folder(m_backgroundFolder);
    const QFileInfo file(path);
    const QString folderPath =
        folder.canonicalFilePath().isEmpty() ? folder.absoluteFilePath() : folder.canonicalFilePath();
    const QString fileFolder = file.canonicalPath().isEmpty() ? file.absolutePath() : file.canonicalPath();
    return fileFolder == folderPath;
}

QString MediaUpload::placeInBackground(const QString& source) const
{
    if (inBackgroundFolder(source)) {
        return source;
    }
    QDir().mkpath(m_backgroundFolder);
    QString target = copyTarget(m_backgroundFolder, source, false);
    if (QFileInfo::exists(target)) {
        target = copyTarget(m_backgroundFolder, source, true);
    }
    // A second taken name, or a copy that fails, leaves the item on the chosen file itself.
    return QFile::copy(source, target) ? target : source;
}

MediaUpload::Outcome MediaUpload::transcode(const QString& source, const QString& output,
                                            const MediaScaleRecord& record)
{
    ProgressDialog progress(m_dialogParent);
    progress.setTitleText(pageText(kProgressTitle));
    progress.setMessageText(pageText(kProgressMessage));
    progress.show();
    const auto report = [this, &progress](int percent) {
        progress.setValue(percent);
        QCoreApplication::processEvents();
        // A logout or kill while the transcode runs ends it here rather than after the last frame.
        if (shutdownRequested())
            m_cancelled = true;
    };
    const VideoTranscoder::Result result =
        m_transcode ? m_transcode(source, output, record, report, m_cancelled) : VideoTranscoder::Result::Failed;
    progress.hide();
    // A transcoder that reports success must have left the file; anything else leaves none.
    if (result == VideoTranscoder::Result::Finished && QFileInfo::exists(output)) {
        return Outcome::Added;
    }
    if (result == VideoTranscoder::Result::Cancelled || m_cancelled.load()) {
        return Outcome::TranscodeCancelled;
    }
    return Outcome::TranscodeFailed;
}

MediaUpload::Outcome MediaUpload::run(int frameWidth, int frameHeight)
{
    if (m_running) {
        return Outcome::Busy;
    }
    m_running = true;
    m_cancelled = false;
    struct RunningFlag
    {
        bool& running;
        ~RunningFlag() { running = false; }
    } runningFlag{m_running};
    StreamingCut streaming(m_link);

    if (!m_library.canAddItem(frameWidth)) {
        notify(kNoticeTitle, kLimitMessage);
        return Outcome::LimitReached;
    }
    const QString chosen = m_chooseFile ? m_chooseFile(m_dialogParent, pageText(kChooserCaption), m_backgroundFolder,
                                                       QString::fromLatin1(kFileFilter))
                                        : QString();
    if (chosen.isEmpty()) {
        return Outcome::NoFile;
    }
    if (QFileInfo(chosen).size() > kMaxFileBytes) {
        notify(kNoticeTitle, kTooLargeMessage);
        return Outcome::TooLarge;
    }

    const vortane::media::MediaKind kind = vortane::media::mediaKindOf(chosen);
    QString itemFile;
    MediaScaleRecord record;
    if (kind == vortane::media::MediaKind::Video) {
        const QString output = videoOutputPath(m_backgroundFolder, chosen);
        streaming.cut(); // no frames go to the device while the video is framed and transcoded
        if (m_dialogs.video) {
            record = m_dialogs.video(m_dialogParent, chosen, frameWidth, frameHeight);
        }
        if (record.width == 0) {
            return Outcome::DialogCancelled;
        }
        QDir().mkpath(m_backgroundFolder);
        const Outcome transcoded = transcode(chosen, output, record);
        streaming.restore();
        if (transcoded == Outcome::TranscodeFailed) {
            notify(kErrorTitle, kErrorMessage);
        }
        if (transcoded != Outcome::Added) {
            return transcoded;
        }
        itemFile = output;
    } else {
        const ScaleDialog& dialog = kind == vortane::media::MediaKind::Gif ? m_dialogs.gif : m_dialogs.image;
        if (dialog) {
            record = dialog(m_dialogParent, chosen, frameWidth, frameHeight);
        }
        if (record.width == 0) {
            return Outcome::DialogCancelled;
        }
        // Copied once the user framed it, so a cancelled dialog leaves no copy behind.
        itemFile = placeInBackground(chosen);
    }

    const QString stored = inBackgroundFolder(itemFile) ? QFileInfo(itemFile).fileName() : itemFile;
    m_library.append(stored, record);
    if (m_itemAdded) {
        m_itemAdded(m_library.count() - 1);
    }
    return Outcome::Added;
}
