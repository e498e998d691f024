#pragma once

#include "speech/speaker.h"

#include <QStringList>

// A speaker that keeps what it was asked to say, with the availability a
// test sets; it never starts an engine.
class RecordingSpeaker : public Speaker
{
public:
    explicit RecordingSpeaker(Availability whenPrepared = Availability::Ready) : whenPrepared_(whenPrepared) { }

    void Prepare() override
    {
        ++prepared;
        if (availability_ == Availability::NotLooked) {
            availability_ = whenPrepared_;
            NotifyAvailability();
        }
    }
    Availability availability() const override { return availability_; }
    QString voiceName() const override
    {
        return availability_ == Availability::Ready ? QStringLiteral("Test") : QString();
    }
    QString failure() const override { return failureText; }
    QString remedy() const override { return remedyText; }
    void Say(const QString &text) override
    {
        // As the real one: nothing without a French voice.
        if (availability_ == Availability::Ready) {
            said << text;
        }
    }

    // The voice search ending later, as it does with a real engine.
    void Become(Availability availability)
    {
        availability_ = availability;
        NotifyAvailability();
    }

    QStringList said;
    int prepared = 0;
    // What a speaker of a voice of pelko's own (pelko.exe's) tells.
    QString failureText;
    QString remedyText;

private:
    Availability whenPrepared_;
    Availability availability_ = Availability::NotLooked;
};
