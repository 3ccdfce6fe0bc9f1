#include "engine/VoiceGroup.h"

#include "engine/Voice.h"

#include <algorithm>

namespace zr
{

namespace
{
// Lanes beyond the group's voices carry a silent filter and a resting envelope; their output is
// never added.
constexpr FilterLanes<double> kIdleFilter = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0};

template <class Get> Double2 Pair(Voice* const* voices, int count, int pair, double idle, Get get)
{
    const int first = 2 * pair;
    return Double2::Of(first < count ? get(*voices[first]) : idle,
                       first + 1 < count ? get(*voices[first + 1]) : idle);
}
} // namespace

void VoiceGroup::Render(Voice* const* voices, int count, double* voiceMix, int m, int p, bool steadyCutoff)
{
    RenderSignals(voices, count, m, p);
    for (int i = 0; i < count; ++i)
        voices[i]->filter_.Follow(p);
    for (int pair = 0; pair < kPairs; ++pair)
    {
        LoadCoefficients(voices, count, pair);
        LoadStates(voices, count, pair);
    }
    // The hold latch of the chunk's first envelope step; the later steps of the chunk leave it as it is.
    if (p + m > 1)
        for (int i = 0; i < count; ++i)
            voices[i]->em_.Latch();
    for (int pair = 0; pair < kPairs; ++pair)
    {
        LoadEnvelopes(voices, count, pair);
        gain_[pair] = Pair(voices, count, pair, 0.0, [](Voice& v) { return v.Gain(); });
    }

    const double feedbackGain = VoiceFilter::kPositiveFeedbackGain;
    alignas(16) std::array<double, kLanes> contribution{};
    for (int j = 0; j < m; ++j)
    {
        if (!steadyCutoff && j > 0)
        {
            bool moved = false;
            for (int i = 0; i < count; ++i)
                moved |= voices[i]->filter_.Follow(p + j);
            if (moved)
                for (int pair = 0; pair < kPairs; ++pair)
                    LoadCoefficients(voices, count, pair);
        }
        double* frame = &signal_[static_cast<std::size_t>(j) * kLanes];
        for (int pair = 0; pair < kPairs; ++pair)
        {
            const Double2 y = filters_[pair].Step(Double2::Load(frame + 2 * pair), feedbackGain);
            ((y * em_.value[pair]) * gain_[pair]).Store(&contribution[2 * pair]);
        }
        double mix = voiceMix[j];
        for (int i = 0; i < count; ++i)
            mix += contribution[i];
        voiceMix[j] = mix;
        // One envelope step per tick position after the first (the per-tick update made that one),
        // however the host split the tick into chunks.
        if (p + j == 0) continue;
        for (int pair = 0; pair < kPairs; ++pair)
        {
            const Double2 value = em_.value[pair];
            const Double2 stepped = value + (em_.target[pair] - value) * em_.rate[pair];
            em_.value[pair] = Double2::Select(em_.stepping[pair], stepped, value);
            const Double2 ended =
                (em_.rising[pair] & Double2::GreaterEqual(em_.value[pair], Splat<Double2>(1.0))) |
                (em_.falling[pair] & Double2::LessEqual(em_.value[pair], Splat<Double2>(0.0)));
            if (const int lanes = ended.Bits()) Settle(voices, count, pair, lanes);
        }
    }
    StoreBack(voices, count);
}

void VoiceGroup::RenderSignals(Voice* const* voices, int count, int m, int p)
{
    double* signal = signal_.data();
    for (int i = 0; i < count; ++i)
    {
        Voice& voice = *voices[i];
        voice.bank_->RenderNoteSignal(signal + i, m, p, voice.octaveNumber_, voice.noteName_, voice.phase_,
                                      kLanes);
    }
    for (int j = 0; j < m; ++j)
        std::fill(signal + j * kLanes + count, signal + (j + 1) * kLanes, 0.0);
}

void VoiceGroup::LoadCoefficients(Voice* const* voices, int count, int pair)
{
    using F = FilterLanes<double>;
    const auto lane = [&](double F::*member)
    {
        return Pair(voices, count, pair, kIdleFilter.*member,
                    [member](Voice& v) { return v.filter_.lanes_.*member; });
    };
    FilterLanes<Double2>& f = filters_[pair];
    f.g = lane(&F::g);
    f.a = lane(&F::a);
    f.b = lane(&F::b);
    f.d = lane(&F::d);
    f.k = lane(&F::k);
}

void VoiceGroup::LoadStates(Voice* const* voices, int count, int pair)
{
    using F = FilterLanes<double>;
    const auto lane = [&](double F::*member)
    {
        return Pair(voices, count, pair, kIdleFilter.*member,
                    [member](Voice& v) { return v.filter_.lanes_.*member; });
    };
    FilterLanes<Double2>& f = filters_[pair];
    f.s1 = lane(&F::s1);
    f.s2 = lane(&F::s2);
    f.s3 = lane(&F::s3);
    f.offset = lane(&F::offset);
}

void VoiceGroup::LoadEnvelopes(Voice* const* voices, int count, int pair)
{
    const int first = 2 * pair;
    const auto mask = [&](auto test)
    {
        return Double2::Mask(first < count && test(voices[first]->em_.state_),
                             first + 1 < count && test(voices[first + 1]->em_.state_));
    };
    em_.value[pair] = Pair(voices, count, pair, 0.0, [](Voice& v) { return v.em_.value_; });
    em_.target[pair] = Pair(voices, count, pair, 0.0, [](Voice& v) { return v.em_.target_; });
    em_.rate[pair] = Pair(voices, count, pair, 0.0, [](Voice& v) { return v.em_.rate_; });
    em_.stepping[pair] = mask([](int state) { return state != EM::kIdle; });
    em_.rising[pair] = mask([](int state) { return state == EM::kAttack; });
    em_.falling[pair] = mask([](int state) { return state == EM::kDecay || state == EM::kRelease; });
}

void VoiceGroup::Settle(Voice* const* voices, int count, int pair, int lanes)
{
    alignas(16) std::array<double, 2> values{};
    em_.value[pair].Store(values.data());
    for (int b = 0; b < 2 && 2 * pair + b < count; ++b)
    {
        EM& em = voices[2 * pair + b]->em_;
        em.value_ = values[b];
        if (lanes & (1 << b)) em.Settle();
    }
    LoadEnvelopes(voices, count, pair);
}

void VoiceGroup::StoreBack(Voice* const* voices, int count)
{
    alignas(16) std::array<double, kLanes> s1{}, s2{}, s3{}, offset{}, value{};
    for (int pair = 0; pair < kPairs; ++pair)
    {
        filters_[pair].s1.Store(&s1[2 * pair]);
        filters_[pair].s2.Store(&s2[2 * pair]);
        filters_[pair].s3.Store(&s3[2 * pair]);
        filters_[pair].offset.Store(&offset[2 * pair]);
        em_.value[pair].Store(&value[2 * pair]);
    }
    for (int i = 0; i < count; ++i)
    {
        FilterLanes<double>& f = voices[i]->filter_.lanes_;
        f.s1 = s1[i];
        f.s2 = s2[i];
        f.s3 = s3[i];
        f.offset = offset[i];
        voices[i]->em_.value_ = value[i];
    }
}

} // namespace zr
