#include "engine/VoiceGroup.h"

#include "engine/PitchTables.h"
#include "engine/Voice.h"

#include <algorithm>
#include <utility>

namespace zr
{

namespace
{
// Lanes beyond the group's voices carry a silent filter and a resting envelope; their output is
// never added.
constexpr double kSilentTable = 0.0; // read at index 0 only: a silent lane's phase stays 0
constexpr FilterLanes<double> kIdleFilter = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};

template <class Get> Double2 Pair(Voice* const* voices, int count, int pair, double idle, Get get)
{
    const int first = 2 * pair;
    return Double2::Of(first < count ? get(*voices[first]) : idle,
                       first + 1 < count ? get(*voices[first + 1]) : idle);
}
} // namespace

template <int kRead, std::size_t... kPair> constexpr auto VoiceGroup::Runners(std::index_sequence<kPair...>)
{
    return std::array{std::array{&VoiceGroup::RunSamples<kPair + 1, false, kRead>...},
                      std::array{&VoiceGroup::RunSamples<kPair + 1, true, kRead>...}};
}

void VoiceGroup::Render(Voice* const* voices, int count, double* voiceMix, int m, int p, bool steadyCutoff,
                        bool steadyPitch)
{
    if (count < 1 || count > kLanes) return;

    const Chunk chunk{voices, count, voiceMix, m, p, steadyCutoff};
    int read = kRendered;
    if (steadyPitch)
    {
        read = voices[0]->bank_->PulseRead() ? kSteadyPulse : kSteady;
        for (int i = 0; i < count; ++i)
        {
            Voice& voice = *voices[i];
            reads_[i] = voice.bank_->SteadyChunk(p, voice.octaveNumber_, voice.noteName_, voice.phase_);
        }
    }
    else
    {
        RenderSignals(chunk);
    }
    // The hold latch of the chunk's first envelope step; the later steps of the chunk leave it as
    // it is, and nothing before that step reads what it may change.
    bool settled = true;
    for (int i = 0; i < count; ++i)
    {
        voices[i]->filter_.Follow(p);
        if (p + m > 1) voices[i]->em_.Latch();
        settled = settled && voices[i]->em_.Settled();
    }
    const int pairs = (count + 1) / 2 - 1;
    static constexpr std::array kRunners = {Runners<kRendered>(std::make_index_sequence<kPairs>()),
                                            Runners<kSteady>(std::make_index_sequence<kPairs>()),
                                            Runners<kSteadyPulse>(std::make_index_sequence<kPairs>())};
    const auto run = [&](bool fast) { return (this->*kRunners[read][fast ? 1 : 0][pairs])(chunk); };
    if (!settled)
    {
        run(false);
        return;
    }
    // The settled loop leaves the NaN checks of the filter states out; should a state have gone
    // non-finite, the chunk is rendered again from the same start with the checks.
    std::copy(voiceMix, voiceMix + m, mixBackup_.begin());
    if (run(true)) return;
    std::copy(mixBackup_.begin(), mixBackup_.begin() + m, voiceMix);
    run(false);
}

template <int kPairCount, bool kSettled, int kRead> bool VoiceGroup::RunSamples(const Chunk& c)
{
    constexpr int kUsed = 2 * kPairCount;
    std::array<LanePair, kPairCount> lanes;
    for (int pair = 0; pair < kPairCount; ++pair)
        LoadPair(c, pair, lanes[pair]);
    // Steady pitch: each lane's phases, increment and table (the unused lane reads silence).
    std::array<std::uint32_t, kUsed> mainPhase{}, pulsePhase{}, increment{};
    std::array<const double*, kUsed> table{};
    if constexpr (kRead != kRendered)
    {
        for (int i = 0; i < kUsed; ++i)
        {
            const bool real = i < c.count;
            const OscillatorBank::SteadyRead read = real ? reads_[i] : reads_[0];
            const bool silent = !real || read.silent;
            mainPhase[i] = silent ? 0 : c.voices[i]->phase_.main;
            pulsePhase[i] = silent ? 0 : c.voices[i]->phase_.pulse;
            increment[i] = silent ? 0 : read.increment;
            table[i] = silent ? &kSilentTable : read.table;
        }
    }

    const double feedbackGain = VoiceFilter::kPositiveFeedbackGain;
    const double* frame = signal_.data();
    alignas(16) std::array<double, 2 * kPairCount> contribution{};
    for (int j = 0; j < c.m; ++j, frame += kLanes)
    {
        if (!c.steadyCutoff && j > 0)
        {
            bool moved = false;
            for (int i = 0; i < c.count; ++i)
                moved |= c.voices[i]->filter_.Follow(c.p + j);
            if (moved)
                for (int pair = 0; pair < kPairCount; ++pair)
                    LoadCoefficients(c, pair, lanes[pair].filter);
        }
#pragma GCC unroll 4
        for (int pair = 0; pair < kPairCount; ++pair)
        {
            LanePair& l = lanes[pair];
            Double2 x;
            if constexpr (kRead == kRendered)
            {
                x = Double2::Load(frame + 2 * pair);
            }
            else
            {
                // Two scalar reads combined in registers (a pair of stores reloaded as one vector
                // would stall on store forwarding).
                const auto lane = [&](int i)
                {
                    mainPhase[i] = (mainPhase[i] + increment[i]) & pitch::kPhaseMask;
                    double value = table[i][mainPhase[i] >> WaveTables::kIndexShift];
                    if constexpr (kRead == kSteadyPulse)
                    {
                        pulsePhase[i] = (pulsePhase[i] + increment[i]) & pitch::kPhaseMask;
                        value -= table[i][pulsePhase[i] >> WaveTables::kIndexShift];
                    }
                    return value;
                };
                const double first = lane(2 * pair);
                x = Double2::Of(first, lane(2 * pair + 1));
            }
            // The input comes from the wave tables and is never NaN.
            const Double2 y = l.filter.template Step<false, !kSettled>(x, feedbackGain);
            ((y * l.em.value) * l.gain).Store(&contribution[2 * pair]);
        }
        double mix = c.voiceMix[j];
#pragma GCC unroll 8
        for (int i = 0; i < 2 * kPairCount - 1; ++i)
            mix += contribution[i];
        // The unused lane of an odd group must not be added: +0.0 would turn a -0.0 sum into +0.0.
        if (c.count == 2 * kPairCount) mix += contribution[2 * kPairCount - 1];
        c.voiceMix[j] = mix;
        // One envelope step per tick position after the first (the per-tick update made that one),
        // however the host split the tick into chunks.
        if (c.p + j == 0) continue;
#pragma GCC unroll 4
        for (int pair = 0; pair < kPairCount; ++pair)
        {
            EnvelopePair& em = lanes[pair].em;
            const Double2 stepped = em.value + (em.target - em.value) * em.rate;
            if constexpr (kSettled)
            {
                em.value = stepped;
            }
            else
            {
                em.value = Double2::Select(em.stepping, stepped, em.value);
                const Double2 ended = (em.rising & Double2::GreaterEqual(em.value, Splat<Double2>(1.0))) |
                                      (em.falling & Double2::LessEqual(em.value, Splat<Double2>(0.0)));
                if (const int hit = ended.Bits()) Settle(c, pair, hit, em);
            }
        }
    }
    if constexpr (kSettled)
        for (int pair = 0; pair < kPairCount; ++pair)
            if (!lanes[pair].filter.Finite()) return false;
    for (int pair = 0; pair < kPairCount; ++pair)
        StorePair(c, pair, lanes[pair]);
    if constexpr (kRead != kRendered)
        for (int i = 0; i < c.count; ++i)
            if (!reads_[i].silent) c.voices[i]->phase_ = {mainPhase[i], pulsePhase[i]};
    return true;
}

void VoiceGroup::RenderSignals(const Chunk& c)
{
    double* signal = signal_.data();
    for (int i = 0; i < c.count; ++i)
    {
        Voice& voice = *c.voices[i];
        voice.bank_->RenderNoteSignal(signal + i, c.m, c.p, voice.octaveNumber_, voice.noteName_,
                                      voice.phase_, kLanes);
    }
    // The unused lane of an odd group.
    if (c.count % 2 != 0)
        for (int j = 0; j < c.m; ++j)
            signal[j * kLanes + c.count] = 0.0;
}

void VoiceGroup::LoadCoefficients(const Chunk& c, int pair, FilterLanes<Double2>& f)
{
    using F = FilterLanes<double>;
    const auto lane = [&](double F::*member)
    {
        return Pair(c.voices, c.count, pair, kIdleFilter.*member,
                    [member](Voice& v) { return v.filter_.lanes_.*member; });
    };
    f.g = lane(&F::g);
    f.a = lane(&F::a);
    f.b = lane(&F::b);
    f.d = lane(&F::d);
    f.k = lane(&F::k);
}

void VoiceGroup::LoadPair(const Chunk& c, int pair, LanePair& lanes)
{
    using F = FilterLanes<double>;
    const auto lane = [&](double F::*member)
    {
        return Pair(c.voices, c.count, pair, kIdleFilter.*member,
                    [member](Voice& v) { return v.filter_.lanes_.*member; });
    };
    FilterLanes<Double2>& f = lanes.filter;
    LoadCoefficients(c, pair, f);
    f.s1 = lane(&F::s1);
    f.s2 = lane(&F::s2);
    f.s3 = lane(&F::s3);
    f.offset = lane(&F::offset);
    LoadEnvelopes(c, pair, lanes.em);
    lanes.gain = Pair(c.voices, c.count, pair, 0.0, [](Voice& v) { return v.Gain(); });
}

void VoiceGroup::LoadEnvelopes(const Chunk& c, int pair, EnvelopePair& em)
{
    const int first = 2 * pair;
    const auto mask = [&](auto test)
    {
        return Double2::Mask(first < c.count && test(c.voices[first]->em_.state_),
                             first + 1 < c.count && test(c.voices[first + 1]->em_.state_));
    };
    em.value = Pair(c.voices, c.count, pair, 0.0, [](Voice& v) { return v.em_.value_; });
    em.target = Pair(c.voices, c.count, pair, 0.0, [](Voice& v) { return v.em_.target_; });
    em.rate = Pair(c.voices, c.count, pair, 0.0, [](Voice& v) { return v.em_.rate_; });
    em.stepping = mask([](int state) { return state != EM::kIdle; });
    em.rising = mask([](int state) { return state == EM::kAttack; });
    em.falling = mask([](int state) { return state == EM::kDecay || state == EM::kRelease; });
}

void VoiceGroup::Settle(const Chunk& c, int pair, int lanes, EnvelopePair& em)
{
    alignas(16) std::array<double, 2> values{};
    em.value.Store(values.data());
    for (int b = 0; b < 2 && 2 * pair + b < c.count; ++b)
    {
        EM& voiceEm = c.voices[2 * pair + b]->em_;
        voiceEm.value_ = values[b];
        if (lanes & (1 << b)) voiceEm.Settle();
    }
    LoadEnvelopes(c, pair, em);
}

void VoiceGroup::StorePair(const Chunk& c, int pair, const LanePair& lanes)
{
    alignas(16) std::array<double, 2> s1{}, s2{}, s3{}, offset{}, value{};
    lanes.filter.s1.Store(s1.data());
    lanes.filter.s2.Store(s2.data());
    lanes.filter.s3.Store(s3.data());
    lanes.filter.offset.Store(offset.data());
    lanes.em.value.Store(value.data());
    for (int b = 0; b < 2 && 2 * pair + b < c.count; ++b)
    {
        Voice& voice = *c.voices[2 * pair + b];
        FilterLanes<double>& f = voice.filter_.lanes_;
        f.s1 = s1[b];
        f.s2 = s2[b];
        f.s3 = s3[b];
        f.offset = offset[b];
        voice.em_.value_ = value[b];
    }
}

} // namespace zr
