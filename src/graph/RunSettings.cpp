#include "graph/RunSettings.h"

#include "settings/FieldConversions.h"
#include "settings/FieldTable.h"
#include "settings/SettingsImage.h"

namespace {
constexpr std::array<const char *, 3> AssertFields{"Sc_Seq1_Assert_Graphical", "Sc_Seq2_Assert_Graphical",
                                                   "Sc_Seq3_Assert_Graphical"};
}  // namespace

RunSettings RunSettings::from(const SettingsImage &image)
{
    RunSettings s;
    for (int n = 0; n < ChannelCount; ++n) {
        const Wheel w = wheelOfChannel(image.byte(channelFrontOffset(n)), image.byte(channelLeftOffset(n)));
        s.axleOf[size_t(n)] = w == Wheel::FrontLeft || w == Wheel::FrontRight ? Axle::Front : Axle::Rear;
    }
    for (size_t k = 0; k < AssertFields.size(); ++k)
        s.assertAt[k] = percentFromWord(image.word(fieldByControl(QString::fromLatin1(AssertFields[k]))->offset));
    s.rateCode = image.word(fieldByControl(u"Sample_Rate")->offset);
    return s;
}
