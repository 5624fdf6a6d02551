#pragma once

#include "media/CustomImageList.h"
#include "types/MediaScaleRecord.h"

#include <QImage>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

// The background media library: the items (a stored path and a MediaScaleRecord each, default
// items first), their thumbnails, the applied position, and the rules that pick items: first of an
// orientation, the next one in list and shuffle order, what a delete does to the applied position,
// how many user items an orientation holds. An item's position is its identity everywhere (strip,
// applied index, settings). It plays nothing itself: the main window applies what it picks to the
// preview. GUI thread only.
class MediaLibrary final
{
public:
    // Turns a stored path into the file to open (the path itself, else the Background folder's file).
    using PathResolver = std::function<QString(const QString& storedPath)>;
    // Asks the user before a delete; true to go ahead.
    using DeleteConfirmation = std::function<bool()>;
    // A uniformly distributed 32-bit random value.
    using RandomSource = std::function<quint32()>;
    // Makes the thumbnail of an item from its resolved file; null when the file cannot be read.
    using ThumbnailMaker = std::function<QImage(const QString& file, const MediaScaleRecord& record)>;

    // Output width of a landscape item; every other width is a portrait item.
    static constexpr int kLandscapeFrameWidth = 800;
    // User items one orientation may hold.
    static constexpr int kMaxUserItemsPerOrientation = 15;

    MediaLibrary();

    void setPathResolver(PathResolver resolver) { m_resolve = std::move(resolver); }
    void setThumbnailMaker(ThumbnailMaker maker) { m_makeThumbnail = std::move(maker); }

    // Replaces the whole library. The first `defaultCount` items are the shipped default items
    // (they are never deleted). Thumbnails are dropped; refreshThumbnails builds them again.
    void setItems(const QStringList& paths, const QVector<MediaScaleRecord>& records, int defaultCount);
    // Adds an item at the end (an upload); its thumbnail comes with the next refreshThumbnails.
    void append(const QString& path, const MediaScaleRecord& record);

    int count() const { return int(m_paths.size()); }
    bool isEmpty() const { return m_paths.isEmpty(); }
    const QStringList& paths() const { return m_paths; }
    const QVector<MediaScaleRecord>& records() const { return m_records; }
    QString path(int index) const { return m_paths.value(index); }
    MediaScaleRecord record(int index) const { return m_records.value(index); }
    int defaultCount() const { return m_defaultCount; }
    bool isDeletable(int index) const { return index >= m_defaultCount && index < count(); }

    // The file an item refers to, or an empty text when the position is out of range, its path is
    // empty or the file exists neither as written nor in the Background folder.
    QString playableFile(int index) const;

    // The applied position; -1 while the fallback video or a clock background is shown.
    int currentIndex() const { return m_currentIndex; }
    void setCurrentIndex(int index) { m_currentIndex = index; }

    // First item whose output width is `frameWidth`, or -1.
    int firstOfWidth(int frameWidth) const;
    // User items (past the defaults) of an output width; an upload of that orientation is refused
    // when it would be the 16th.
    int userItemCount(int frameWidth) const;
    bool canAddItem(int frameWidth) const { return userItemCount(frameWidth) < kMaxUserItemsPerOrientation; }

    // What the end of a medium leads to in a cycle mode. `current` is the position that was shown.
    enum class CycleStep
    {
        Stay,     // one-item mode, or an empty library: nothing to do
        Fallback, // no item of the orientation: the fallback video
        Apply     // apply `index`
    };
    struct CycleChoice
    {
        CycleStep step = CycleStep::Stay;
        int index = -1;
    };
    // List (1): the next item of the orientation after `current`, wrapping (may be `current`).
    // Shuffle (2): a uniformly random item of the orientation (may be `current` again).
    CycleChoice nextForCycle(int cycleMode, int current, int frameWidth, const RandomSource& random) const;

    // Delete of the item at `index`. Refused for a position out of range and for a default item;
    // `confirm` is asked otherwise. On a delete, path, record and thumbnail go, and the applied
    // position follows: an earlier item moves it down by one; the applied item itself leaves
    // currentIndex unchanged and reports wasApplied, so the caller applies another item.
    struct Removal
    {
        bool removed = false;
        bool wasApplied = false;
    };
    Removal remove(int index, const DeleteConfirmation& confirm);

    // Builds the missing thumbnails (items past the last built one, in order). An item with an
    // empty path or without an output frame gets none and is not shown; one whose file cannot be
    // found or read gets a black placeholder, so the user can still see and delete it.
    void refreshThumbnails();
    const QVector<QImage>& thumbnails() const { return m_thumbnails; }
    // The strip's entries: every item that has a thumbnail, with its library position.
    QVector<CustomImageList::Entry> stripEntries() const;

private:
    bool ofWidth(int index, int frameWidth) const { return m_records.at(index).width == frameWidth; }

    QStringList m_paths;
    QVector<MediaScaleRecord> m_records;
    QVector<QImage> m_thumbnails; // parallel to the first items; null where an item is not shown
    int m_defaultCount = 0;
    int m_currentIndex = 0;
    PathResolver m_resolve;
    ThumbnailMaker m_makeThumbnail;
};
