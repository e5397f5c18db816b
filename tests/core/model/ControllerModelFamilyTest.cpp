#include "core/model/TQControllerModel.h"
#include "support/FakePropertySheet.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

class ControllerModelFamily : public ::testing::Test {
protected:
    FakePage p41{"4.1"}, p42{"4.2"}, p45{"4.5"}, p44{"4.4"}, p43{"4.3"};
    CTQControllerModel model{TQModelPages{&p41, &p42, &p45, &p44, &p43}};
    FakePropertySheet sheet;

    Names ModelPageNames() const {
        Names names;
        for (IModelPage* page : model.GetPages())
            names.push_back(static_cast<FakePage*>(page)->name);
        return names;
    }
};

TEST_F(ControllerModelFamily, StartsWithFourPagesAndTheFirstActive) {
    EXPECT_EQ(ModelPageNames(), (Names{"4.1", "4.2", "4.4", "4.3"}));
    model.AddPagesTo(sheet);
    EXPECT_EQ(sheet.Names(), (Names{"4.1", "4.2", "4.4", "4.3"}));
    EXPECT_EQ(sheet.ActiveName(), "4.1");
}

TEST_F(ControllerModelFamily, AddPagesToActivatesTheFirstEvenWhenAnotherWasShown) {
    FakePage other{"other"};
    sheet.AddPage(&other);
    model.AddPagesTo(sheet);
    EXPECT_EQ(sheet.ActiveName(), "4.1");
}

TEST_F(ControllerModelFamily, SwitchToTQ100InsertsRetransmissionBeforeTheLastTwo) {
    model.AddPagesTo(sheet);
    model.SetFamily(&sheet, TQ100);
    EXPECT_EQ(model.GetFamily(), TQ100);
    EXPECT_EQ(model.GetCount(), 54u);
    EXPECT_EQ(sheet.Names(), (Names{"4.1", "4.2", "4.5", "4.4", "4.3"}));
    EXPECT_EQ(ModelPageNames(), sheet.Names());
    EXPECT_EQ(sheet.ActiveName(), "4.1");
}

TEST_F(ControllerModelFamily, SwitchToTQ100KeepsARemovedPageActive) {
    model.AddPagesTo(sheet);
    for (IModelPage* page : {static_cast<IModelPage*>(&p43), static_cast<IModelPage*>(&p44),
                             static_cast<IModelPage*>(&p42)}) {
        model.SetFamily(&sheet, TQ102_TQ402);
        ASSERT_TRUE(sheet.SetActivePage(page));
        model.SetFamily(&sheet, TQ100);
        EXPECT_EQ(sheet.GetActivePage(), page) << static_cast<FakePage*>(page)->name;
    }
}

TEST_F(ControllerModelFamily, SwitchBackRemovesRetransmissionOnly) {
    model.AddPagesTo(sheet);
    model.SetFamily(&sheet, TQ100);
    ASSERT_TRUE(sheet.SetActivePage(&p44));
    model.SetFamily(&sheet, TQ102_TQ402);
    EXPECT_EQ(model.GetCount(), 43u);
    EXPECT_EQ(sheet.Names(), (Names{"4.1", "4.2", "4.4", "4.3"}));
    EXPECT_EQ(ModelPageNames(), sheet.Names());
    EXPECT_EQ(sheet.ActiveName(), "4.4");
}

TEST_F(ControllerModelFamily, SameOrUnknownFamilyChangesNothing) {
    model.AddPagesTo(sheet);
    ASSERT_TRUE(sheet.SetActivePage(&p43));
    for (int family : {1, 2, -1, 100}) {
        model.SetFamily(&sheet, static_cast<ModelFamily>(family));
        EXPECT_EQ(model.GetFamily(), TQ102_TQ402);
        EXPECT_EQ(model.GetCount(), 43u);
        EXPECT_EQ(sheet.Names(), (Names{"4.1", "4.2", "4.4", "4.3"}));
        EXPECT_EQ(sheet.ActiveName(), "4.3");
    }
    model.SetFamily(&sheet, TQ100);
    model.SetFamily(&sheet, TQ100);
    EXPECT_EQ(sheet.Names(), (Names{"4.1", "4.2", "4.5", "4.4", "4.3"}));
}

TEST_F(ControllerModelFamily, RetransmissionRegistersSurviveTheSmallFamily) {
    model.SetFamily(&sheet, TQ100);
    ASSERT_TRUE(model.SetValue(reg::kRetransAddress, 17));
    ASSERT_TRUE(model.SetValue(reg::kRetransUpperLimit, 450));

    model.SetFamily(&sheet, TQ102_TQ402);
    EXPECT_EQ(model.GetValue(reg::kRetransAddress), 0);
    EXPECT_FALSE(model.SetValue(reg::kRetransAddress, 1));
    EXPECT_FALSE(model.IsAvailable(reg::kRetransAddress));

    model.SetFamily(&sheet, TQ100);
    EXPECT_EQ(model.GetValue(reg::kRetransAddress), 17);
    EXPECT_EQ(model.GetValue(reg::kRetransUpperLimit), 450);
    EXPECT_TRUE(model.IsAvailable(reg::kRetransAddress));
}

TEST(ControllerModelWithoutWindows, FamilySwitchWorksWithoutSheetOrPages) {
    CTQControllerModel model;
    EXPECT_TRUE(model.GetPages().empty());
    FakePropertySheet sheet;
    model.AddPagesTo(sheet);
    EXPECT_TRUE(sheet.GetPages().empty());

    model.SetFamily(nullptr, TQ100);
    EXPECT_EQ(model.GetCount(), 54u);
    model.SetFamily(&sheet, TQ102_TQ402);
    EXPECT_EQ(model.GetCount(), 43u);
    EXPECT_TRUE(sheet.GetPages().empty());
}

TEST(ControllerModelWithoutWindows, PagesSuppliedLaterFollowTheFamily) {
    FakePage p41{"4.1"}, p42{"4.2"}, p45{"4.5"}, p44{"4.4"}, p43{"4.3"};
    CTQControllerModel model;
    model.SetFamily(nullptr, TQ100);
    model.SetPages({&p41, &p42, &p45, &p44, &p43});
    FakePropertySheet sheet;
    model.AddPagesTo(sheet);
    EXPECT_EQ(sheet.Names(), (Names{"4.1", "4.2", "4.5", "4.4", "4.3"}));
    EXPECT_EQ(model.GetPageSlots().retransmission, &p45);
}

} // namespace
