// The labour-participation rule words as the rules screen writes them: each
// field into its own bits of the right word, the variant's scale and formula
// kept apart from the rules, values out of range stored as 0, and the form's
// control numbers in their places.
#include "entries/LabourParticipationRules.h"

#include <gtest/gtest.h>

using namespace kalvor;

namespace {

const KtuField& Field(int controlId)
{
    const KtuField* field = FindKtuField(controlId);
    EXPECT_NE(field, nullptr) << controlId;
    static const KtuField none;
    return field ? *field : none;
}

} // namespace

TEST(LabourParticipationRules, ControlNumbersFollowTheForm)
{
    EXPECT_EQ(KtuFields().size(), 66u);
    const struct {
        int id, variant, rule;
        KtuMeasure measure;
    } places[] = {
        {1251, 0, 0, KtuMeasure::Scale},          {1252, 0, 0, KtuMeasure::Formula},
        {1253, 0, 0, KtuMeasure::Percent},        {1260, 0, 3, KtuMeasure::Percent},
        {1261, 0, 1, KtuMeasure::SalaryOrTariff}, {1266, 0, 3, KtuMeasure::WorkingTime},
        {1256, 0, 0, KtuMeasure::Coefficient1},   {1272, 0, 3, KtuMeasure::Coefficient2},
        {1273, 1, 0, KtuMeasure::Scale},          {1280, 1, 1, KtuMeasure::Percent},
        {1289, 1, 1, KtuMeasure::Coefficient1},   {1294, 1, 3, KtuMeasure::Coefficient2},
        {1296, 2, 0, KtuMeasure::Formula},        {1298, 2, 0, KtuMeasure::SalaryOrTariff},
        {1308, 2, 1, KtuMeasure::WorkingTime},    {1316, 2, 3, KtuMeasure::Coefficient2},
    };
    for (const auto& place : places) {
        const KtuField& field = Field(place.id);
        EXPECT_EQ(field.variant, place.variant) << place.id;
        EXPECT_EQ(field.rule, place.rule) << place.id;
        EXPECT_EQ(field.measure, place.measure) << place.id;
    }
    EXPECT_EQ(FindKtuField(1250), nullptr);
    EXPECT_EQ(FindKtuField(1317), nullptr);
}

TEST(LabourParticipationRules, FieldsWriteTheirOwnBits)
{
    KtuVariants variants{};
    // Variant 2: scale 3, formula 1, rule 1 at 70 % by rate and time, rule 2
    // at 30 % inversely by the second coefficient.
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1273), QStringLiteral("3")));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1274), QStringLiteral("1")));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1275), QStringLiteral("70")));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1276), QStringLiteral("1")));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1277), QStringLiteral("1")));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1280), QStringLiteral("30")));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1292), QStringLiteral("2")));
    EXPECT_EQ(variants[1][0], 0x6000 | 0x100 | 0x80 | 70);
    EXPECT_EQ(variants[1][1], 0x2000 | (2 << 11) | 30);
    EXPECT_EQ(variants[1][2], 0);
    EXPECT_EQ(variants[0], (std::array<infobase::u16, 4>{}));
    EXPECT_EQ(variants[2], (std::array<infobase::u16, 4>{}));
    EXPECT_EQ(KtuFieldText(variants, Field(1273)), QStringLiteral("3"));
    EXPECT_EQ(KtuFieldText(variants, Field(1292)), QStringLiteral("2"));
    EXPECT_EQ(KtuFieldText(variants, Field(1281)), QString());
}

TEST(LabourParticipationRules, SecondCoefficientLeavesScaleAndFormulaAlone)
{
    KtuVariants variants{};
    variants[0][0] = 0x6000 | 50; // scale 3, 50 %
    variants[0][1] = 0x2000 | 25; // formula 1, 25 %
    EXPECT_TRUE(StoreKtuFieldValue(variants, Field(1257), 2)); // rule 1, second coefficient
    EXPECT_TRUE(StoreKtuFieldValue(variants, Field(1270), 2)); // rule 2, second coefficient
    EXPECT_EQ(variants[0][0], 0x6000 | 0x1000 | 50);
    EXPECT_EQ(variants[0][1], 0x2000 | 0x1000 | 25);
    // And the other way: the scale and the formula leave the rules alone.
    EXPECT_TRUE(StoreKtuFieldValue(variants, Field(1251), 0));
    EXPECT_TRUE(StoreKtuFieldValue(variants, Field(1252), 0));
    EXPECT_EQ(variants[0][0], 0x1000 | 50);
    EXPECT_EQ(variants[0][1], 0x1000 | 25);
    EXPECT_EQ(KtuFieldValue(variants, Field(1253)), 50);
    EXPECT_EQ(KtuFieldValue(variants, Field(1258)), 25);
}

TEST(LabourParticipationRules, ValuesOutOfRangeKeepTheStoredValueNeverZero)
{
    KtuVariants variants{};
    variants[2][0] = 0x4000 | 0x600 | 40; // scale 2, first coefficient 3 (out of range), 40 %
    // A text out of its field's range or no number keeps what is stored.
    const struct {
        int id;
        const char* text;
        int stored;
    } cases[] = {
        {1297, "150", 40}, {1297, "100", 100}, {1297, "-1", 100}, {1295, "4", 2}, {1295, "3", 3},
        {1296, "2", 0},   {1298, "2", 0},     {1299, "1", 1},  {1300, "3", 0},  {1301, "2", 2},
        {1302, "12x", 0}, {1303, "abc", 0},   {1304, "", 0},   {1304, " 7", 7},
    };
    for (const auto& c : cases) {
        StoreKtuFieldText(variants, Field(c.id), QString::fromUtf8(c.text));
        EXPECT_EQ(KtuFieldValue(variants, Field(c.id)), c.stored) << c.id << " " << c.text;
    }
    // A value typed again as it stands changes nothing.
    EXPECT_FALSE(StoreKtuFieldText(variants, Field(1295), QStringLiteral("3")));
    EXPECT_FALSE(StoreKtuFieldText(variants, Field(1296), QString()));
    EXPECT_TRUE(StoreKtuFieldText(variants, Field(1295), QString()));
}
