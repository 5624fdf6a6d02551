#include "media/MediaClock.h"

#include <chrono>
#include <thread>

namespace vortane::media {

namespace {

class SystemClock final : public Clock
{
public:
    qint64 nowUs() const override
    {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return std::chrono::duration_cast<std::chrono::microseconds>(since).count();
    }

    void sleepUs(qint64 us) override
    {
        if (us > 0) {
            std::this_thread::sleep_for(std::chrono::microseconds(us));
        }
    }
};

} // namespace

Clock& systemClock()
{
    static SystemClock clock;
    return clock;
}

} // namespace vortane::media
