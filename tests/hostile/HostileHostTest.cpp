// Drives the built module (dlopen, VSTPluginMain) the way the worst hosts do: random interleavings
// of every opcode, chunks of random bytes while audio runs, program changes right after a chunk,
// sample rates from 1 Hz to 768 kHz, blocks of 0 to 8192 frames and larger than announced, MIDI
// bursts of thousands of events, NaN and infinity as parameter values, and four threads at once.
// Every sample must be finite and below kOutputBound, the process callbacks must not allocate,
// and after all notes off and the release the output must fall silent.
#include "support/AllocationCounter.h"
#include "plugin/VstAbi.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <thread>
#include <vector>

namespace vst = zr::vst;

namespace
{

constexpr const char* kModulePath = ZR_MODULE_PATH;
// Peak output allowed under any parameters: three blocks at full level with resonators, far above
// what any program plays, far below what a runaway filter produces.
constexpr double kOutputBound = 64.0;
constexpr int kLastOpcode = 80;
constexpr int kMaxFrames = 8192;
constexpr int kBufferFrames = 2 * kMaxFrames;
constexpr double kMinRate = 1.0;
constexpr double kMaxRate = 768000.0;
constexpr size_t kPointerBytes = 4096;
constexpr int kBurstEvents = 4000;
constexpr int kStepsPerRun = 2000;
constexpr unsigned kRngStarts[] = {1, 2, 3};
// Silence after all notes off: peak of the last block below this after kReleaseSeconds.
constexpr double kSilence = 1e-4;
constexpr double kReleaseSeconds = 8.0;

std::atomic<int> gHostCalls{0};
vst::VstTimeInfo gTime{};

// A host that answers the transport with odd but legal values and everything else with 0. It
// allocates nothing: the plug-in calls it from inside the process callbacks.
std::intptr_t HostCallback(vst::AEffect*, std::int32_t opcode, std::int32_t, std::intptr_t, void* ptr, float)
{
    gHostCalls.fetch_add(1, std::memory_order_relaxed);
    switch (opcode)
    {
    case vst::audioMasterVersion:
        return vst::kVstVersion;
    case vst::audioMasterGetTime:
        return reinterpret_cast<std::intptr_t>(&gTime);
    case vst::audioMasterGetProductString:
        if (ptr) std::snprintf(static_cast<char*>(ptr), 64, "%s", "hostile host");
        return 1;
    default:
        return 0;
    }
}

// One instance of the loaded module plus output buffers and the checks made after every block.
class HostileHost
{
public:
    explicit HostileHost(vst::PluginEntryProc entry) : mEffect(entry(&HostCallback)) {}
    ~HostileHost()
    {
        if (mEffect) Dispatch(vst::effClose);
    }
    HostileHost(const HostileHost&) = delete;
    HostileHost& operator=(const HostileHost&) = delete;

    vst::AEffect* Effect() const { return mEffect; }

    std::intptr_t Dispatch(std::int32_t opcode, std::int32_t index = 0, std::intptr_t value = 0,
                           void* ptr = nullptr, float opt = 0.0f)
    {
        return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
    }

    void Start(float rate, int block)
    {
        Dispatch(vst::effOpen);
        Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rate);
        Dispatch(vst::effSetBlockSize, 0, block);
        Dispatch(vst::effMainsChanged, 0, 1);
    }

    // One block through one of the three process callbacks; returns the block's peak.
    double Process(int frames, int callback)
    {
        std::fill(mLeft.begin(), mLeft.end(), 0.0f);
        std::fill(mRight.begin(), mRight.end(), 0.0f);
        float* outputs[] = {mLeft.data(), mRight.data()};
        double* doubles[] = {mLeftDouble.data(), mRightDouble.data()};
        {
            zr::test::AudioPathScope audioPath;
            if (callback == 0)
                mEffect->processReplacing(mEffect, nullptr, outputs, frames);
            else if (callback == 1)
                mEffect->process(mEffect, nullptr, outputs, frames);
            else
                mEffect->processDoubleReplacing(mEffect, nullptr, doubles, frames);
        }
        double peak = 0.0;
        for (int n = 0; n < frames; ++n)
        {
            const size_t i = static_cast<size_t>(n);
            const double l = callback == 2 ? mLeftDouble[i] : mLeft[i];
            const double r = callback == 2 ? mRightDouble[i] : mRight[i];
            if (!std::isfinite(l) || !std::isfinite(r))
            {
                ADD_FAILURE() << "sample " << n << " of " << frames << " is not finite";
                return std::numeric_limits<double>::infinity();
            }
            peak = std::max({peak, std::abs(l), std::abs(r)});
        }
        EXPECT_LT(peak, kOutputBound) << frames << " frames";
        return peak;
    }

    // Sends events as one effProcessEvents call; the list may hold thousands of entries.
    void SendEvents(const std::vector<vst::VstMidiEvent>& midi)
    {
        mEventList.assign(vst::kVstEventsHeaderSize + sizeof(void*) * (midi.size() + 2), 0);
        auto* events = reinterpret_cast<vst::VstEvents*>(mEventList.data());
        events->numEvents = static_cast<int32_t>(midi.size());
        vst::VstEvent** list = events->events;
        for (size_t i = 0; i < midi.size(); ++i)
            list[i] = reinterpret_cast<vst::VstEvent*>(const_cast<vst::VstMidiEvent*>(&midi[i]));
        Dispatch(vst::effProcessEvents, 0, 0, events);
    }

    void SendMidi(uint8_t status, uint8_t data1, uint8_t data2, int offset = 0)
    {
        vst::VstMidiEvent event{};
        event.type = vst::kVstMidiType;
        event.byteSize = sizeof(event);
        event.deltaFrames = offset;
        event.midiData[0] = static_cast<char>(status);
        event.midiData[1] = static_cast<char>(data1);
        event.midiData[2] = static_cast<char>(data2);
        SendEvents({event});
    }

    std::vector<uint8_t> Chunk(int32_t index)
    {
        void* data = nullptr;
        const std::intptr_t size = Dispatch(vst::effGetChunk, index, 0, &data);
        const auto* bytes = static_cast<const uint8_t*>(data);
        return size > 0 ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
    }

    std::intptr_t SetChunk(int32_t index, std::vector<uint8_t> bytes)
    {
        return Dispatch(vst::effSetChunk, index, static_cast<std::intptr_t>(bytes.size()), bytes.data());
    }

private:
    vst::AEffect* mEffect;
    std::vector<float> mLeft = std::vector<float>(kBufferFrames);
    std::vector<float> mRight = std::vector<float>(kBufferFrames);
    std::vector<double> mLeftDouble = std::vector<double>(kBufferFrames);
    std::vector<double> mRightDouble = std::vector<double>(kBufferFrames);
    std::vector<char> mEventList;
};

// Random steps of a hostile host, from one rng start value.
class HostileSession
{
public:
    HostileSession(HostileHost& host, unsigned rngStart) : mHost(host), mRng(rngStart) {}

    int Int(int low, int high) { return std::uniform_int_distribution<int>(low, high)(mRng); }
    bool Chance(double p) { return std::bernoulli_distribution(p)(mRng); }

    float AnyValue()
    {
        switch (Int(0, 5))
        {
        case 0:
            return std::numeric_limits<float>::quiet_NaN();
        case 1:
            return std::numeric_limits<float>::infinity();
        case 2:
            return -std::numeric_limits<float>::infinity();
        case 3:
            return std::uniform_real_distribution<float>(-1e6f, 1e6f)(mRng);
        default:
            return std::uniform_real_distribution<float>(0.0f, 1.0f)(mRng);
        }
    }

    // Log-uniform from 1 Hz to 768 kHz, with the ends themselves now and then.
    float SampleRate()
    {
        if (Chance(0.1)) return static_cast<float>(Chance(0.5) ? kMinRate : kMaxRate);
        const double exponent = std::uniform_real_distribution<double>(0.0, std::log(kMaxRate))(mRng);
        return static_cast<float>(std::exp(exponent));
    }

    // Mostly ordinary blocks, often 0, sometimes up to 8192, sometimes larger than announced.
    int Frames()
    {
        const int kind = Int(0, 9);
        if (kind == 0) return 0;
        if (kind <= 6) return Int(1, 512);
        if (kind <= 8) return Int(1, kMaxFrames);
        return std::min(mAnnounced + Int(1, mAnnounced + 1), kBufferFrames);
    }

    std::vector<vst::VstMidiEvent> Burst(int count, int frames)
    {
        std::vector<vst::VstMidiEvent> midi(static_cast<size_t>(count));
        for (vst::VstMidiEvent& event : midi)
        {
            event.type = vst::kVstMidiType;
            event.byteSize = sizeof(event);
            event.deltaFrames = Chance(0.05) ? Int(-100, 100000) : Int(0, std::max(frames - 1, 0));
            static constexpr uint8_t kStatuses[] = {0x90, 0x80, 0xB0, 0xC0, 0xE0, 0xD0, 0xA0, 0xF8};
            event.midiData[0] =
                static_cast<char>(Chance(0.9) ? kStatuses[Int(0, 7)] | Int(0, 15) : Int(0, 255));
            event.midiData[1] = static_cast<char>(Chance(0.9) ? Int(0, 127) : Int(0, 255));
            event.midiData[2] = static_cast<char>(Chance(0.9) ? Int(0, 127) : Int(0, 255));
        }
        return midi;
    }

    void Step()
    {
        switch (Int(0, 11))
        {
        case 0:
        case 1:
        case 2:
        {
            const int frames = Frames();
            if (Chance(0.3)) mHost.SendEvents(Burst(Chance(0.3) ? kBurstEvents : Int(0, 64), frames));
            mHost.Process(frames, Int(0, 2));
            break;
        }
        case 3:
            RandomOpcode();
            break;
        case 4:
            mHost.Effect()->setParameter(mHost.Effect(), Int(-3, 232), AnyValue());
            break;
        case 5:
        {
            const float x = mHost.Effect()->getParameter(mHost.Effect(), Int(-3, 232));
            EXPECT_TRUE(x >= 0.0f && x <= 1.0f) << x;
            break;
        }
        case 6:
        {
            // Random bytes as a chunk while audio runs, then at once a program change.
            std::vector<uint8_t> bytes(static_cast<size_t>(Int(0, 3000)));
            for (uint8_t& b : bytes)
                b = static_cast<uint8_t>(Int(0, 255));
            if (Chance(0.5) && bytes.size() >= 8) std::memcpy(bytes.data(), "tffp\0\0\1\0", 8);
            mHost.SetChunk(Int(0, 1), bytes);
            mHost.Dispatch(vst::effSetProgram, 0, Int(-2, 70));
            mHost.Process(Int(0, 256), 0);
            break;
        }
        case 7:
        {
            // A chunk this instance wrote, a little damaged, then a program change.
            std::vector<uint8_t> chunk = mHost.Chunk(Int(0, 1));
            if (!chunk.empty() && Chance(0.5))
                chunk[static_cast<size_t>(Int(0, static_cast<int>(chunk.size()) - 1))] ^= 0xFF;
            if (!chunk.empty() && Chance(0.3))
                chunk.resize(static_cast<size_t>(Int(0, static_cast<int>(chunk.size()))));
            mHost.SetChunk(Int(0, 1), chunk);
            mHost.Dispatch(vst::effSetProgram, 0, Int(0, 63));
            break;
        }
        case 8:
            // Suspend and resume, sometimes resume twice without a suspend between.
            mHost.Dispatch(vst::effMainsChanged, 0, Chance(0.7) ? 0 : 1);
            mHost.Dispatch(vst::effMainsChanged, 0, 1);
            break;
        case 9:
            mHost.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, SampleRate());
            break;
        case 10:
            mAnnounced = Int(0, kMaxFrames);
            mHost.Dispatch(vst::effSetBlockSize, 0, mAnnounced);
            break;
        case 11:
            UpdateTransport();
            break;
        }
    }

private:
    void RandomOpcode()
    {
        int32_t opcode = Int(0, kLastOpcode);
        if (opcode == vst::effClose) opcode = vst::effEditIdle;
        std::vector<char> buffer(kPointerBytes, 0);
        std::vector<char> valueBuffer(kPointerBytes, 0);
        const int textLength = Int(0, 40);
        for (int i = 0; i < textLength; ++i)
            buffer[static_cast<size_t>(i)] = static_cast<char>(Int(1, 255));
        std::intptr_t value = Int(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        float opt = AnyValue();
        switch (opcode)
        {
        case vst::effSetSampleRate:
            opt = SampleRate();
            break;
        case vst::effSetBlockSize:
            mAnnounced = Int(0, kMaxFrames);
            value = mAnnounced;
            break;
        case vst::effSetChunk:
            value = textLength;
            break;
        case vst::effProcessEvents:
            mHost.SendEvents(Burst(Int(0, 200), 512));
            return;
        case vst::effSetSpeakerArrangement:
        case vst::effGetSpeakerArrangement:
            value = reinterpret_cast<std::intptr_t>(valueBuffer.data());
            break;
        default:
            break;
        }
        mHost.Dispatch(opcode, Int(-5, 300), value, Chance(0.1) ? nullptr : buffer.data(), opt);
    }

    void UpdateTransport()
    {
        static constexpr double kTempos[] = {120.0, 0.0, -5.0, 1e9, 0.001, 300.0};
        gTime.flags = Int(0, 0xFFFF);
        gTime.tempo = kTempos[Int(0, 5)];
        gTime.samplePos = Chance(0.1) ? std::numeric_limits<double>::quiet_NaN() : Int(0, 1 << 30);
        gTime.ppqPos = Chance(0.1) ? 1e15 : Int(0, 10000) / 4.0;
        gTime.barStartPos = Int(0, 1000);
        gTime.cycleStartPos = Int(0, 100);
        gTime.cycleEndPos = Int(0, 100);
        gTime.timeSigNumerator = Int(-1, 64);
        gTime.timeSigDenominator = Int(-1, 64);
        gTime.sampleRate = 48000.0;
    }

    HostileHost& mHost;
    std::mt19937 mRng;
    int mAnnounced = 1024;
};

class HostileHostTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        handle = dlopen(kModulePath, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        entry = reinterpret_cast<vst::PluginEntryProc>(dlsym(handle, "VSTPluginMain"));
        ASSERT_NE(entry, nullptr);
        gTime = {};
        gTime.tempo = 120.0;
        gTime.sampleRate = 48000.0;
        gTime.flags = vst::kVstTempoValid | vst::kVstTransportPlaying;
        zr::test::AudioPathScope::Reset();
    }
    void TearDown() override
    {
        if (handle) dlclose(handle);
    }

    // Plays a chord on a known program, sends what hosts send when the transport stops (sustain off,
    // reset controllers, all notes off on all 16 channels) and expects silence after the release.
    static void ExpectSilenceAfterAllNotesOff(HostileHost& host, const std::vector<uint8_t>& bank)
    {
        constexpr int kBlock = 512;
        constexpr float kRate = 48000.0f;
        host.Dispatch(vst::effMainsChanged, 0, 0);
        host.Dispatch(vst::effSetSampleRate, 0, 0, nullptr, kRate);
        host.Dispatch(vst::effSetBlockSize, 0, kBlock);
        ASSERT_EQ(host.SetChunk(0, bank), 1);
        host.Dispatch(vst::effSetProgram, 0, 0);
        // Both outputs connected again, whatever arrangement the session left.
        vst::VstSpeakerArrangement inputs{}, outputs{};
        outputs.numChannels = 2;
        host.Dispatch(vst::effSetSpeakerArrangement, 0, reinterpret_cast<std::intptr_t>(&inputs), &outputs);
        host.Dispatch(vst::effMainsChanged, 0, 1);
        for (uint8_t note : {48, 60, 64, 67, 72})
            host.SendMidi(0x90, note, 100);
        double peak = 0.0;
        for (int n = 0; n < 40; ++n)
            peak = std::max(peak, host.Process(kBlock, 0));
        EXPECT_GT(peak, kSilence) << "the chord must sound before it is stopped";
        for (uint8_t channel = 0; channel < 16; ++channel)
        {
            host.SendMidi(0xB0 | channel, 64, 0);
            host.SendMidi(0xB0 | channel, 121, 0);
            host.SendMidi(0xB0 | channel, 123, 0);
        }
        const int blocks = static_cast<int>(kReleaseSeconds * kRate / kBlock);
        double last = 0.0;
        for (int n = 0; n < blocks; ++n)
            last = host.Process(kBlock, 0);
        EXPECT_LT(last, kSilence) << "still sounding " << kReleaseSeconds << " s after all notes off";
    }

    void* handle = nullptr;
    vst::PluginEntryProc entry = nullptr;
};

TEST_F(HostileHostTest, AllocationCounterSeesTheModulesOwnAllocations)
{
    // The counter must measure the module's code: a chunk request allocates inside the module.
    HostileHost host(entry);
    ASSERT_NE(host.Effect(), nullptr);
    host.Start(48000.0f, 256);
    void* data = nullptr;
    {
        zr::test::AudioPathScope scope;
        host.Dispatch(vst::effGetChunk, 0, 0, &data);
    }
    EXPECT_GT(zr::test::AudioPathScope::Count(), 0u);
}

TEST_F(HostileHostTest, FreshInstanceFallsSilentAfterAllNotesOff)
{
    HostileHost host(entry);
    host.Start(48000.0f, 512);
    ExpectSilenceAfterAllNotesOff(host, host.Chunk(0));
}

TEST_F(HostileHostTest, EventOffsetsPastTheBlockDoNotOutliveAllNotesOff)
{
    // Found by this test's random session: a note-on with an offset far past the block waited in
    // the queue and started seconds later, after all notes off.
    constexpr int kBlock = 512;
    constexpr int kFarOffset = 200000;
    HostileHost host(entry);
    host.Start(48000.0f, kBlock);
    host.SendMidi(0x90, 60, 100, kFarOffset);
    host.SendMidi(0x90, 64, 100, -kFarOffset);
    host.Process(kBlock, 0);
    host.SendMidi(0xB0, 123, 0);
    constexpr int kReleaseBlocks = 48000 / kBlock; // a second for the release
    double peak = 0.0;
    for (int n = 0; n < 2 * kFarOffset / kBlock; ++n)
    {
        const double block = host.Process(kBlock, 0);
        if (n >= kReleaseBlocks) peak = std::max(peak, block);
    }
    EXPECT_LT(peak, kSilence);
}

TEST_F(HostileHostTest, RandomOpcodeInterleavingsStayFiniteBoundedAndAllocationFree)
{
    int steps = 0;
    for (unsigned rngStart : kRngStarts)
    {
        HostileHost host(entry);
        ASSERT_NE(host.Effect(), nullptr);
        host.Start(44100.0f, 1024);
        const std::vector<uint8_t> factory = host.Chunk(0);
        ASSERT_FALSE(factory.empty());
        HostileSession session(host, rngStart);
        for (int n = 0; n < kStepsPerRun && !HasFailure(); ++n, ++steps)
            session.Step();
        ExpectSilenceAfterAllNotesOff(host, factory);
        EXPECT_EQ(zr::test::AudioPathScope::Count(), 0u) << "rng start value " << rngStart;
    }
    RecordProperty("steps", steps);
}

TEST_F(HostileHostTest, AutomationEditorAndDispatcherThreadsWhileAudioRuns)
{
    HostileHost host(entry);
    ASSERT_NE(host.Effect(), nullptr);
    host.Start(48000.0f, 256);
    const std::vector<uint8_t> factory = host.Chunk(0);
    vst::AEffect* e = host.Effect();
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};

    std::thread audio(
        [&]
        {
            HostileSession session(host, 11);
            while (!stop)
            {
                if (session.Chance(0.2))
                    host.SendEvents(session.Burst(session.Chance(0.1) ? kBurstEvents : 32, 256));
                host.Process(session.Int(0, 512), session.Int(0, 2));
                ++blocks;
            }
        });
    std::thread automation(
        [&]
        {
            HostileSession session(host, 12);
            for (int n = 0; n < 3000; ++n)
            {
                e->setParameter(e, session.Int(-1, 229), session.AnyValue());
                const float x = e->getParameter(e, session.Int(0, 228));
                ASSERT_TRUE(x >= 0.0f && x <= 1.0f);
            }
        });
    std::thread editor(
        [&]
        {
            // What an editor does through the host interface: texts back into values, displays.
            HostileSession session(host, 13);
            static constexpr const char* kTexts[] = {"on",  "off", "0.5", "-1e30", "nan",
                                                     "inf", "12",  "",    "Saw"};
            char display[64];
            for (int n = 0; n < 3000; ++n)
            {
                const int index = session.Int(0, 228);
                char text[16];
                std::snprintf(text, sizeof(text), "%s", kTexts[session.Int(0, 8)]);
                e->dispatcher(e, vst::effString2Parameter, index, 0, text, 0.0f);
                e->dispatcher(e, vst::effGetParamDisplay, index, 0, display, 0.0f);
                e->dispatcher(e, vst::effVendorSpecific, 7, index, display, session.AnyValue());
            }
        });
    {
        HostileSession session(host, 14);
        for (int n = 0; n < 150; ++n)
        {
            std::vector<uint8_t> chunk = n % 3 == 0 ? factory : host.Chunk(1);
            if (n % 5 == 0 && !chunk.empty()) chunk.resize(chunk.size() / 2);
            host.SetChunk(n % 2, chunk);
            host.Dispatch(vst::effSetProgram, 0, n % 64);
            if (n % 10 == 0)
            {
                host.Dispatch(vst::effMainsChanged, 0, 0);
                host.Dispatch(vst::effMainsChanged, 0, 1);
            }
        }
    }
    automation.join();
    editor.join();
    stop = true;
    audio.join();
    EXPECT_GT(blocks.load(), 0);
    EXPECT_EQ(zr::test::AudioPathScope::Count(), 0u);
    ExpectSilenceAfterAllNotesOff(host, factory);
}

} // namespace
