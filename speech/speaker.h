#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <utility>

// What says a word aloud in a French voice: Qt's text-to-speech in the
// program, a recorder in tests. Nothing here may block the window; finding a
// voice can take a second or two, so it happens out of the way and the
// answer comes back through the listener.
class Speaker
{
public:
    enum class Availability {
        NotBuilt, // this build of pelko has no speech at all
        NotLooked, // Prepare() has not been called
        Looking,
        Ready,
        NoEngine, // no text-to-speech plugin is installed
        EngineFailed, // the plugin is there but its engine would not start
        NoFrenchVoice,
    };

    virtual ~Speaker() = default;

    // The speaker this build has: speech-dispatcher where it was built in,
    // the voice pelko.exe carries on Windows.
    static std::unique_ptr<Speaker> ForThisBuild();

    // Starts looking for a French voice; later calls do nothing.
    virtual void Prepare() = 0;
    virtual Availability availability() const = 0;
    // What the engine said when it failed, for the learner; may be empty.
    virtual QString failure() const { return {}; }
    // The voice's name once Ready, for the learner; may be empty.
    virtual QString voiceName() const { return {}; }
    // What the learner can do when the voice is missing or did not start,
    // for a speaker whose voice is not the system's; empty: install the
    // system's speech packages.
    virtual QString remedy() const { return {}; }
    // Cuts off its own word still being said and says text, only ever in a
    // French voice; a word said before the voice is found waits for it, and
    // without a French voice nothing is said.
    virtual void Say(const QString &text) = 0;

    // Called on the window's thread whenever availability() changes.
    void SetAvailabilityListener(std::function<void()> listener) { listener_ = std::move(listener); }

protected:
    void NotifyAvailability() const
    {
        if (listener_) {
            listener_();
        }
    }

private:
    std::function<void()> listener_;
};
