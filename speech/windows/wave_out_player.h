#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

// Plays sounds through Windows' own audio (WinMM's waveOut, on the default
// output device): 16-bit mono samples, one sound at a time, a new one
// cutting off the one still playing. Nothing here waits for a sound.
class WaveOutPlayer
{
public:
    WaveOutPlayer();
    // Cuts off what still plays.
    ~WaveOutPlayer();
    WaveOutPlayer(const WaveOutPlayer &) = delete;
    WaveOutPlayer &operator=(const WaveOutPlayer &) = delete;

    // Opens the default output device for sampleRate ahead of the first
    // sound, since opening takes tens of milliseconds; false without one.
    bool Open(int sampleRate);
    // Cuts off the sound still playing and starts samples, opening the
    // device when it is not open (a device plugged in later is found);
    // false when no device took them.
    bool Play(std::vector<std::int16_t> samples, int sampleRate);
    // The samples of the last sound the device has taken so far.
    std::uint32_t Position() const;
    bool Playing() const;
    // Why the last Open() or Play() failed.
    QString failure() const { return failure_; }

private:
    struct Device;
    bool Fail(const char *call, unsigned result);
    void Close();
    void Stop();

    std::unique_ptr<Device> device_;
    QString failure_;
};
