// The upload of a user's medium through its seams: limits, the size check, the kind of each file,
// the names of copies and transcoded videos, cancel and failure paths, the streaming link and
// re-entry. Files are real (in a temporary folder); dialogs, notices and the transcoder are fakes,
// except in the rows that run the real transcoder.

#include "media/MediaLibrary.h"
#include "media/MediaUpload.h"
#include "tests/support/media/MediaFixtures.h"
#include "widgets/ProgressDialog.h"

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using Outcome = MediaUpload::Outcome;
using vortane::media::VideoTranscoder;

Q_DECLARE_METATYPE(MediaUpload::Outcome)

namespace {

constexpr int kLandscape = 800;
constexpr int kPortrait = 480;

MediaScaleRecord framed(int width, int height)
{
    MediaScaleRecord record = MediaScaleRecord::defaultMedium(width, height);
    record.x = -7; // something a dialog would return, unlike the default record
    return record;
}

enum class TranscodeFake
{
    Writes,         // writes the output and reports success
    Fails,          // reports failure, writes nothing
    ClaimsSuccess,  // reports success but leaves no file
    CancelsOnQuit,  // reports progress; the upload's cancel() arrives meanwhile
    RealTranscoder, // the default seam: the real VideoTranscoder
};

// One upload under test with everything it did recorded.
struct Harness
{
    QTemporaryDir root;
    QString background;
    QString outside;
    MediaLibrary library;
    MediaUpload upload;

    QString chosenFile;
    int chooserCalls = 0;
    QString chooserCaption, chooserFolder, chooserFilter;
    QStringList events; // "cut", "restore", "dialog:<kind>", "transcode", "added:<n>"
    QString dialogPath;
    MediaScaleRecord dialogAnswer = framed(kLandscape, 480);
    QStringList notices; // "title|message"
    QString transcodeSource, transcodeOutput;
    TranscodeFake transcodeFake = TranscodeFake::Writes;
    std::function<void()> duringDialog;
    bool progressDialogShown = false;

    Harness()
        : upload(library, nullptr, rootPath() + QStringLiteral("/Background"))
    {
        background = root.path() + QStringLiteral("/Background");
        outside = root.path() + QStringLiteral("/Pictures");
        QDir().mkpath(background);
        QDir().mkpath(outside);
        // Four shipped items first, as in the program; they never count toward the limit.
        QStringList paths;
        QVector<MediaScaleRecord> records;
        for (int i = 0; i < 4; ++i) {
            paths << QStringLiteral("/Default/default%1.gif").arg(i);
            records << (i % 2 ? MediaScaleRecord::defaultMedium(480, 800) : MediaScaleRecord::defaultMedium(800, 480));
        }
        library.setItems(paths, records, 4);

        upload.setFileChooser([this](QWidget*, const QString& caption, const QString& folder, const QString& filter) {
            ++chooserCalls;
            chooserCaption = caption;
            chooserFolder = folder;
            chooserFilter = filter;
            return chosenFile;
        });
        const auto dialog = [this](const char* kind) {
            return [this, kind](QWidget*, const QString& path, int width, int height) {
                events << QStringLiteral("dialog:") + QLatin1String(kind);
                dialogPath = path;
                if (duringDialog) {
                    duringDialog();
                }
                MediaScaleRecord answer = dialogAnswer;
                if (answer.width != 0) {
                    answer.width = width;
                    answer.height = height;
                }
                return answer;
            };
        };
        upload.setScaleDialogs({dialog("image"), dialog("gif"), dialog("video")});
        upload.setNotice([this](QWidget*, const QString& title, const QString& message) {
            notices << title + QLatin1Char('|') + message;
        });
        upload.setStreamingLink(
            {[this] { events << QStringLiteral("cut"); }, [this] { events << QStringLiteral("restore"); }});
        upload.setItemAdded([this](int index) { events << QStringLiteral("added:%1").arg(index); });
        upload.setTranscoder([this](const QString& source, const QString& output, const MediaScaleRecord& record,
                                    const std::function<void(int)>& progress, const std::atomic<bool>& cancelled) {
            events << QStringLiteral("transcode");
            transcodeSource = source;
            transcodeOutput = output;
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (qobject_cast<ProgressDialog*>(widget) && widget->isVisible()) {
                    progressDialogShown = true;
                }
            }
            switch (transcodeFake) {
            case TranscodeFake::Writes: {
                QFile file(output);
                file.open(QIODevice::WriteOnly);
                progress(50);
                return VideoTranscoder::Result::Finished;
            }
            case TranscodeFake::Fails:
                return VideoTranscoder::Result::Failed;
            case TranscodeFake::ClaimsSuccess:
                return VideoTranscoder::Result::Finished;
            case TranscodeFake::CancelsOnQuit:
                progress(10);
                upload.cancel();
                progress(20);
                return cancelled.load() ? VideoTranscoder::Result::Cancelled : VideoTranscoder::Result::Finished;
            case TranscodeFake::RealTranscoder:
                break;
            }
            vortane::media::VideoTranscoder transcoder;
            transcoder.setProgressHandler(progress);
            return transcoder.run(source, output, record);
        });
    }

    QString rootPath() const { return root.path(); }

    // A file of `bytes` (sparse) in `folder`.
    QString makeFile(const QString& folder, const QString& name, qint64 bytes = 16)
    {
        const QString path = folder + QLatin1Char('/') + name;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !file.resize(bytes)) {
            return {};
        }
        return path;
    }
    QStringList backgroundFiles() const
    {
        QStringList files =
            QDir(background).entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        files.sort();
        return files;
    }
    int cuts() const { return int(events.count(QStringLiteral("cut"))); }
    int restores() const { return int(events.count(QStringLiteral("restore"))); }
};

} // namespace

Q_DECLARE_METATYPE(TranscodeFake)

class TestMediaUpload : public QObject
{
    Q_OBJECT

private slots:
    void limitPerOrientation_data()
    {
        QTest::addColumn<int>("landscapeItems");
        QTest::addColumn<int>("portraitItems");
        QTest::addColumn<int>("uploadWidth");
        QTest::addColumn<bool>("refused");
        QTest::newRow("14 landscape items: a 15th is allowed") << 14 << 0 << kLandscape << false;
        QTest::newRow("15 landscape items: a 16th landscape is refused") << 15 << 0 << kLandscape << true;
        QTest::newRow("15 landscape items: a portrait one is still allowed") << 15 << 0 << kPortrait << false;
        QTest::newRow("15 portrait items: a 16th portrait is refused") << 3 << 15 << kPortrait << true;
    }

    void limitPerOrientation()
    {
        QFETCH(int, landscapeItems);
        QFETCH(int, portraitItems);
        QFETCH(int, uploadWidth);
        QFETCH(bool, refused);
        Harness h;
        for (int i = 0; i < landscapeItems; ++i) {
            h.library.append(QStringLiteral("l%1.png").arg(i), MediaScaleRecord::defaultMedium(800, 480));
        }
        for (int i = 0; i < portraitItems; ++i) {
            h.library.append(QStringLiteral("p%1.png").arg(i), MediaScaleRecord::defaultMedium(480, 800));
        }
        const int before = h.library.count();
        h.chosenFile = h.makeFile(h.outside, QStringLiteral("pic.png"));
        const Outcome outcome = h.upload.run(uploadWidth, uploadWidth == kLandscape ? 480 : 800);
        if (refused) {
            QCOMPARE(outcome, Outcome::LimitReached);
            QCOMPARE(h.chooserCalls, 0);
            QCOMPARE(h.library.count(), before);
            QCOMPARE(h.notices, QStringList{QStringLiteral(
                                    "Notice|You have reached the upload limit (15 media files). To upload "
                                    "new files, please delete some existing files from the media library.")});
        } else {
            QCOMPARE(outcome, Outcome::Added);
            QCOMPARE(h.library.count(), before + 1);
            QCOMPARE(h.library.record(before).width, uploadWidth);
        }
    }

    void fileChooser()
    {
        Harness h;
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::NoFile);
        QCOMPARE(h.chooserCaption, QStringLiteral("Select a media file"));
        QCOMPARE(h.chooserFolder, h.background);
        QCOMPARE(h.chooserFilter, QStringLiteral("file(*.jpg *jpeg *bmp *.png *.gif *.mp4 *.avi)"));
        QCOMPARE(h.library.count(), 4);
        QVERIFY(h.notices.isEmpty());
    }

    void sizeLimit_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("exactly 500 MiB is accepted") << qint64(524288000) << false;
        QTest::newRow("500 MiB and one byte is refused") << qint64(524288001) << true;
    }

    void sizeLimit()
    {
        QFETCH(qint64, bytes);
        QFETCH(bool, refused);
        Harness h;
        h.chosenFile = h.makeFile(h.outside, QStringLiteral("big.png"), bytes);
        QVERIFY(!h.chosenFile.isEmpty());
        QCOMPARE(QFileInfo(h.chosenFile).size(), bytes);
        const Outcome outcome = h.upload.run(kLandscape, 480);
        if (refused) {
            QCOMPARE(outcome, Outcome::TooLarge);
            QCOMPARE(h.notices, QStringList{QStringLiteral("Notice|Make sure the file you upload is in PNG, JPG, GIF, "
                                                           "MP4, or AVI format and is less than 500 MB in size.")});
            QCOMPARE(h.library.count(), 4);
            QVERIFY(!h.events.contains(QStringLiteral("dialog:image")));
        } else {
            QCOMPARE(outcome, Outcome::Added);
            QVERIFY(h.notices.isEmpty());
        }
        QFile::remove(h.chosenFile);
        for (const QString& name : h.backgroundFiles()) {
            QFile::remove(h.background + QLatin1Char('/') + name);
        }
    }

    void mediaKinds_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("transcoded");
        QTest::newRow("png is a still, copied") << "a.png"
                                                << "image"
                                                << "a.png" << false;
        QTest::newRow("jpeg is a still") << "b.jpeg"
                                         << "image"
                                         << "b.jpeg" << false;
        QTest::newRow("bmp is a still") << "c.bmp"
                                        << "image"
                                        << "c.bmp" << false;
        QTest::newRow("gif is a GIF, copied") << "anim.gif"
                                              << "gif"
                                              << "anim.gif" << false;
        QTest::newRow("mp4 is a video, transcoded") << "clip.mp4"
                                                    << "video"
                                                    << "clip.mp4" << true;
        QTest::newRow("avi is a video, transcoded") << "clip.avi"
                                                    << "video"
                                                    << "clip.avi" << true;
        QTest::newRow("upper-case JPG is a still") << "photo.JPG"
                                                   << "image"
                                                   << "photo.JPG" << false;
        QTest::newRow("upper-case GIF is a GIF") << "anim.GIF"
                                                 << "gif"
                                                 << "anim.GIF" << false;
        QTest::newRow("upper-case MP4 is a video") << "clip.MP4"
                                                   << "video"
                                                   << "clip.MP4" << true;
    }

    void mediaKinds()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, dialog);
        QFETCH(QString, stored);
        QFETCH(bool, transcoded);
        Harness h;
        h.chosenFile = h.makeFile(h.outside, fileName);
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
        QCOMPARE(h.dialogPath, h.chosenFile);
        QCOMPARE(h.library.count(), 5);
        QCOMPARE(h.library.path(4), stored);
        QCOMPARE(h.library.record(4), framed(kLandscape, 480));
        QCOMPARE(h.backgroundFiles(), QStringList{stored});
        QStringList expected;
        if (transcoded) {
            expected << "cut"
                     << "dialog:video"
                     << "transcode"
                     << "restore"
                     << "added:4";
            QCOMPARE(h.transcodeSource, h.chosenFile);
            QCOMPARE(h.transcodeOutput, h.background + QLatin1Char('/') + stored);
            QVERIFY(h.progressDialogShown);
        } else {
            // Stills and GIFs are framed without cutting the device's frames.
            expected << QStringLiteral("dialog:") + dialog << "added:4";
        }
        QCOMPARE(h.events, expected);
    }

    void copiesGetFreeNames()
    {
        Harness h;
        h.chosenFile = h.makeFile(h.outside, QStringLiteral("a.png"));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
        }
        // The second upload is a copy under a second name; a third has no free name left and
        // stays where the user keeps it.
        QCOMPARE(h.library.paths().mid(4),
                 (QStringList{QStringLiteral("a.png"), QStringLiteral("acopy.png"), h.chosenFile}));
        QCOMPARE(h.backgroundFiles(), (QStringList{QStringLiteral("a.png"), QStringLiteral("acopy.png")}));
    }

    void fileInsideBackgroundIsUsedInPlace()
    {
        Harness h;
        h.chosenFile = h.makeFile(h.background, QStringLiteral("here.gif"));
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
        QCOMPARE(h.library.path(4), QStringLiteral("here.gif"));
        QCOMPARE(h.backgroundFiles(), QStringList{QStringLiteral("here.gif")});
    }

    void videoNamesGrow()
    {
        Harness h;
        h.makeFile(h.background, QStringLiteral("clip.mp4"));
        h.makeFile(h.background, QStringLiteral("clipcopy0.mp4"));
        h.chosenFile = h.makeFile(h.outside, QStringLiteral("clip.mp4"));
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
        QCOMPARE(h.transcodeOutput, h.background + QStringLiteral("/clipcopy0copy1.mp4"));
        QCOMPARE(h.library.path(4), QStringLiteral("clipcopy0copy1.mp4"));
        QCOMPARE(MediaUpload::videoOutputPath(h.background, h.chosenFile),
                 h.background + QStringLiteral("/clipcopy0copy1copy2.mp4"));
    }

    void cancelledDialogAddsNothing_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<int>("cuts");
        QTest::newRow("still") << "a.png" << 0;
        QTest::newRow("GIF") << "a.gif" << 0;
        QTest::newRow("video") << "a.mp4" << 1;
    }

    void cancelledDialogAddsNothing()
    {
        QFETCH(QString, fileName);
        QFETCH(int, cuts);
        Harness h;
        h.chosenFile = h.makeFile(h.outside, fileName);
        h.dialogAnswer = MediaScaleRecord();
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::DialogCancelled);
        QCOMPARE(h.library.count(), 4);
        QCOMPARE(h.backgroundFiles(), QStringList());
        QCOMPARE(h.cuts(), cuts);
        QCOMPARE(h.restores(), cuts);
        QVERIFY(h.notices.isEmpty());
        QVERIFY(!h.events.contains(QStringLiteral("transcode")));
    }

    void transcodeThatDoesNotFinish_data()
    {
        QTest::addColumn<TranscodeFake>("fake");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<bool>("errorNotice");
        QTest::newRow("failed transcode tells the user") << TranscodeFake::Fails << Outcome::TranscodeFailed << true;
        QTest::newRow("success without a file is a failure")
            << TranscodeFake::ClaimsSuccess << Outcome::TranscodeFailed << true;
        QTest::newRow("closing the program cancels quietly")
            << TranscodeFake::CancelsOnQuit << Outcome::TranscodeCancelled << false;
    }

    void transcodeThatDoesNotFinish()
    {
        QFETCH(TranscodeFake, fake);
        QFETCH(Outcome, outcome);
        QFETCH(bool, errorNotice);
        Harness h;
        h.transcodeFake = fake;
        h.chosenFile = h.makeFile(h.outside, QStringLiteral("clip.mp4"));
        QCOMPARE(h.upload.run(kLandscape, 480), outcome);
        QCOMPARE(h.library.count(), 4);
        QCOMPARE(h.backgroundFiles(), QStringList());
        QCOMPARE(h.cuts(), 1);
        QCOMPARE(h.restores(), 1);
        const QStringList expectedNotices =
            errorNotice ? QStringList{QStringLiteral("Error|An issue occurred during the upload. Please try again.")}
                        : QStringList();
        QCOMPARE(h.notices, expectedNotices);
        QVERIFY(!h.upload.isRunning());
        // The next upload runs normally again.
        h.transcodeFake = TranscodeFake::Writes;
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
    }

    void secondUploadWhileOneRunsIsIgnored()
    {
        Harness h;
        h.chosenFile = h.makeFile(h.outside, QStringLiteral("clip.mp4"));
        Outcome inner = Outcome::Added;
        h.duringDialog = [&] { inner = h.upload.run(kLandscape, 480); };
        QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
        QCOMPARE(inner, Outcome::Busy);
        QCOMPARE(h.chooserCalls, 1);
        QCOMPARE(h.library.count(), 5);
        QCOMPARE(h.cuts(), 1);
        QCOMPARE(h.restores(), 1);
    }

    void realTranscodeOfAClip_data()
    {
        QTest::addColumn<bool>("broken");
        QTest::newRow("clip is added") << false;
        QTest::newRow("broken clip adds nothing and leaves no file") << true;
    }

    void realTranscodeOfAClip()
    {
        QFETCH(bool, broken);
        Harness h;
        h.transcodeFake = TranscodeFake::RealTranscoder;
        h.chosenFile = h.outside + QStringLiteral("/real.mp4");
        if (broken) {
            QVERIFY(vortane::test::writeRandomBytes(h.chosenFile, 30000, 3));
        } else {
            vortane::test::ClipRecipe recipe;
            recipe.width = 320;
            recipe.height = 192;
            recipe.frameCount = 10;
            QVERIFY(vortane::test::writeClip(h.chosenFile, recipe));
        }
        MediaScaleRecord record;
        record.canvasWidth = 320;
        record.canvasHeight = 192;
        record.ratio = 1.0;
        record.width = 800;
        h.dialogAnswer = record;
        if (broken) {
            QCOMPARE(h.upload.run(kLandscape, 480), Outcome::TranscodeFailed);
            QCOMPARE(h.backgroundFiles(), QStringList());
            QCOMPARE(h.library.count(), 4);
        } else {
            QCOMPARE(h.upload.run(kLandscape, 480), Outcome::Added);
            QCOMPARE(h.backgroundFiles(), QStringList{QStringLiteral("real.mp4")});
            QCOMPARE(h.library.path(4), QStringLiteral("real.mp4"));
        }
        QCOMPARE(h.restores(), 1);
    }
};

QTEST_MAIN(TestMediaUpload)
#include "TestMediaUpload.moc"
