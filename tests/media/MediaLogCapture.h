#pragma once

// Collects the messages of the media logging category ("vortane.media") from every thread while
// an instance lives; other categories go on to the previous handler.

#include <QMutex>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstring>

class MediaLogCapture final
{
public:
    MediaLogCapture()
    {
        instance() = this;
        m_previous = qInstallMessageHandler(&MediaLogCapture::handle);
    }
    ~MediaLogCapture()
    {
        qInstallMessageHandler(m_previous);
        instance() = nullptr;
    }
    MediaLogCapture(const MediaLogCapture&) = delete;
    MediaLogCapture& operator=(const MediaLogCapture&) = delete;

    QStringList messages() const
    {
        QMutexLocker lock(&m_mutex);
        return m_messages;
    }
    bool contains(const QString& message) const { return messages().contains(message); }
    void clear()
    {
        QMutexLocker lock(&m_mutex);
        m_messages.clear();
    }

private:
    static MediaLogCapture*& instance()
    {
        static MediaLogCapture* current = nullptr;
        return current;
    }
    static void handle(QtMsgType type, const QMessageLogContext& context, const QString& message)
    {
        MediaLogCapture* self = instance();
        if (self && context.category && std::strcmp(context.category, "vortane.media") == 0) {
            QMutexLocker lock(&self->m_mutex);
            self->m_messages.append(message);
            return;
        }
        if (self && self->m_previous) {
            self->m_previous(type, context, message);
        }
    }

    mutable QMutex m_mutex;
    QStringList m_messages;
    QtMessageHandler m_previous = nullptr;
};
