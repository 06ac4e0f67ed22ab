#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/core/catalogue/ChipCatalogue.h"
#include "link/LinkState.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "support/CatalogueFixture.h"

namespace zelvar {
namespace chip_catalogue_test {

constexpr const char* kList =
    "# A test list\n"
    "/ comment\n"
    "-----------\n"
    "\n"
    "EPR ATMEL AT27C256,P27 13 #1e 8c 00 00\n"
    "EPR AMD AM27C256,P27 13\r\n"
    "EPR ATMEL AT27C512R,P27 14\n"
    "EPR ST M27C256B,P27 13\n"
    "EPR ATMEL AT27NOCOMMA\n"
    "EPR ATMEL -----\n"
    "EPR WINBOND W27E512,PW27 1\n"
    "EPR ATMEL.X AT27C010,P27 16\n"
    "EPR ATMELX AT27C020,P27 17\n"
    "MPU INTEL 8751,P87 1\n"
    "MPU ATMEL AT89C51,P89C51 1\n"
    "EEP XICOR X28C64,AT28CX 1\n";

class ChipCatalogueTest : public test::CatalogueFixture {
 protected:
  // The dialog as created for `model` with the test list in that model's file.
  void Create(int model, const char* file = "device6200.lst") {
    gLink.ModelNumber = model;
    Write(file, kList);
    cat = std::make_unique<ChipCatalogue>();
  }

  std::unique_ptr<ChipCatalogue> cat;
};

TEST_F(ChipCatalogueTest, NoProgrammerReadsTheListTheChooserNames) {
  Write("device5149.lst", "EPR ATMEL AT27C256,P27 13\n");
  Write("device6200.lst", "EPR AMD AM27C256,P27 13\n");
  gLink.ModelNumber = 0;
  ChipCatalogue c;
  int asked = 0;
  c.chooseModel = [&] {
    ++asked;
    return 2;
  };
  c.CategoryClicked(0);
  EXPECT_EQ(c.caption, "ZOR5149");
  EXPECT_EQ(gApp.DeviceListName, (dir / "device5149.lst").string());
  EXPECT_EQ(c.manufacturers.items, std::vector<std::string>{"ATMEL"});
  // The name is fixed for the run: the chooser is asked once.
  c.CategoryClicked(0);
  c.CloseDeviceList();
  c.FillChipList();
  EXPECT_EQ(asked, 1);
  EXPECT_TRUE(fake.boxes.empty());
}

TEST_F(ChipCatalogueTest, MissingListShowsTheBoxOnEveryScan) {
  gLink.ModelNumber = 5107;
  ChipCatalogue c;
  c.CategoryClicked(0);
  c.FillChipList();
  EXPECT_EQ(c.caption, "ZOR5107");
  EXPECT_EQ(fake.boxes, (std::vector<std::string>{"Not find .lst file!", "Not find .lst file!"}));
  EXPECT_TRUE(c.manufacturers.items.empty());
  EXPECT_TRUE(c.chips.items.empty());
  // A model without a list fails the same way, and never takes a directory for the list.
  gApp.Reset();
  gApp.ProgramDir = dir.string();
  gLink.ModelNumber = 5000;
  fake.boxes.clear();
  ChipCatalogue other;
  EXPECT_EQ(other.OpenDeviceList(), 0);
  EXPECT_EQ(fake.boxes.size(), 1u);
}

TEST_F(ChipCatalogueTest, ManufacturersInFirstSeenOrderAndTheirChips) {
  Create(6200);
  cat->CategoryClicked(0);
  EXPECT_EQ(cat->categoryTag, "EPR");
  EXPECT_EQ(cat->categoryNumber, 1);
  EXPECT_EQ(cat->manufacturers.items,
            (std::vector<std::string>{"ATMEL", "AMD", "ST", "WINBOND", "ATMEL.X", "ATMELX"}));
  // The remembered manufacturer stays selected.
  EXPECT_EQ(cat->selectedManufacturer, "ATMEL");
  EXPECT_EQ(cat->manufacturers.selected, 0);
  EXPECT_EQ(cat->chips.items,
            (std::vector<std::string>{"AT27C256", "AT27C512R", "AT27NOCOMMA", "-----"}));
  EXPECT_EQ(cat->specTexts,
            (std::vector<std::string>{"P27 13 #1e 8c 00 00", "P27 14", "---", "---"}));
  cat->ManufacturerClicked(1);
  EXPECT_EQ(cat->selectedManufacturer, "AMD");
  EXPECT_EQ(cat->chips.items, std::vector<std::string>{"AM27C256"});
  EXPECT_EQ(cat->specTexts, std::vector<std::string>{"P27 13"});  // the CR is cut
  EXPECT_EQ(cat->chips.selected, 0);
}

TEST_F(ChipCatalogueTest, SwitchingCategoryFallsBackToItsFirstManufacturer) {
  Create(6200);
  cat->CategoryClicked(0);
  cat->ManufacturerClicked(3);  // WINBOND
  cat->CategoryClicked(2);      // MPU: no WINBOND there
  EXPECT_EQ(cat->categoryTag, "MPU");
  EXPECT_EQ(cat->manufacturers.items, (std::vector<std::string>{"INTEL", "ATMEL"}));
  EXPECT_EQ(cat->selectedManufacturer, "INTEL");
  EXPECT_EQ(cat->chips.items, std::vector<std::string>{"8751"});
  cat->CategoryClicked(-1);  // reads as the first item
  EXPECT_EQ(cat->categoryTag, "EPR");
}

TEST_F(ChipCatalogueTest, SearchFiltersByTheLineHead) {
  Create(6200);
  cat->CategoryClicked(0);
  cat->SearchChanged("c256");
  EXPECT_EQ(cat->manufacturers.items, (std::vector<std::string>{"ATMEL", "AMD", "ST"}));
  EXPECT_EQ(cat->chips.items, std::vector<std::string>{"AT27C256"});
  cat->SearchChanged("winbond");
  EXPECT_EQ(cat->manufacturers.items, std::vector<std::string>{"WINBOND"});
  EXPECT_EQ(cat->selectedManufacturer, "WINBOND");
  EXPECT_EQ(cat->chips.items, std::vector<std::string>{"W27E512"});
  cat->SearchChanged("PW27");  // parameter text is never searched
  EXPECT_TRUE(cat->manufacturers.items.empty());
  EXPECT_TRUE(cat->chips.items.empty());
}

TEST_F(ChipCatalogueTest, AChipTheSearchNamesExactlyIsPreselected) {
  Write("device6200.lst",
        "MPU ATMEL ATmega88,ATMEGA48 2\nMPU ATMEL ATmega8515,ATMEGA162 1\n"
        "MPU ATMEL ATmega8,ATMEGAX 1\n");
  gLink.ModelNumber = 6200;
  cat = std::make_unique<ChipCatalogue>();
  cat->CategoryClicked(2);
  cat->SearchChanged("atmega8");
  ASSERT_EQ(cat->chips.items.size(), 3u);
  EXPECT_EQ(cat->chips.items[static_cast<std::size_t>(cat->chips.selected)], "ATmega8");
  cat->SearchChanged("ATmega85");
  EXPECT_EQ(cat->chips.selected, 0);
}

// The program's own list: the serial EEPROMs stand under "Serial EE", not among the parallel ones.
TEST_F(ChipCatalogueTest, SerialEepromsAreTheirOwnCategory) {
  gLink.ModelNumber = 6200;
  gApp.ProgramDir = ZELVAR_PROGRAM_DIR;
  cat = std::make_unique<ChipCatalogue>();
  cat->CategoryClicked(3);
  ASSERT_EQ(cat->categoryTag, "SER");
  cat->SearchChanged("AT24C02");
  EXPECT_EQ(cat->chips.items, std::vector<std::string>{"AT24C02"});
  cat->SearchChanged("AT93C46");
  EXPECT_FALSE(cat->chips.items.empty());
  cat->SearchChanged("");
  cat->CategoryClicked(1);
  cat->SearchChanged("AT24C");
  EXPECT_TRUE(cat->chips.items.empty());
  cat->SearchChanged("AT28C256");
  EXPECT_FALSE(cat->chips.items.empty());
}

TEST_F(ChipCatalogueTest, OkBindsTheChipAndRemembersTheSelection) {
  Create(6200);
  cat->CategoryClicked(0);
  SelectionResult r{};
  ASSERT_EQ(cat->ChooseChip(1, &r), ChipCatalogue::OkOutcome::Closed);
  EXPECT_EQ(r, SelectionResult::Bound);
  EXPECT_FALSE(cat->DeviceListOpen());
  EXPECT_EQ(gApp.ChipTitle, "ATMEL: AT27C512R");
  EXPECT_EQ(gApp.ChipName, "AT27C512R");
  EXPECT_EQ(gApp.ParameterString, "P27 14");
  EXPECT_EQ(gApp.TypeIndex, 14);
  EXPECT_EQ(gApp.CurrentDispatcher, &test::FakeEpromSet);
  EXPECT_EQ(cat->savedChip, 1);
  EXPECT_EQ(cat->savedCategory, 0);
  EXPECT_EQ(cat->savedManufacturer, 0);

  // Shown again: the category, manufacturer and chip come back.
  cat->PrepareChipDialog();
  EXPECT_EQ(cat->categories.size(), 8u);
  EXPECT_EQ(cat->categoryTag, "EPR");
  EXPECT_EQ(cat->selectedManufacturer, "ATMEL");
  EXPECT_EQ(cat->chips.selected, 1);
}

TEST_F(ChipCatalogueTest, RefusedOkLeavesChipAndSavedSelection) {
  Create(6200);
  cat->CategoryClicked(0);
  ASSERT_EQ(cat->ChooseChip(0), ChipCatalogue::OkOutcome::Closed);  // AT27C256 bound
  fake.boxes.clear();
  for (int index : {2, 3, 4, 99, -1}) {  // no comma, a separator, out of range
    cat->CategoryClicked(0);
    cat->ChooseChip(index);
  }
  cat->CategoryClicked(0);
  cat->ManufacturerClicked(3);
  SelectionResult r{};
  EXPECT_EQ(cat->ChooseChip(0, &r), ChipCatalogue::OkOutcome::Closed);  // W27E512: PW27 not built
  EXPECT_EQ(r, SelectionResult::Refused);
  EXPECT_EQ(fake.boxes, std::vector<std::string>{"Not suport this chip! "});
  EXPECT_EQ(gApp.ChipTitle, "ATMEL: AT27C256");
  EXPECT_EQ(gApp.ChipName, "AT27C256");
  EXPECT_EQ(gApp.TypeIndex, 13);
  EXPECT_EQ(gApp.ExpectedId, (std::array<std::uint8_t, 4>{0x1E, 0x8C, 0, 0}));
  EXPECT_EQ(cat->savedChip, 0);
  EXPECT_EQ(cat->savedManufacturer, 0);
  EXPECT_EQ(cat->ChooseChip(3), ChipCatalogue::OkOutcome::None);  // past the list
}

TEST_F(ChipCatalogueTest, FillManufacturerListSelectsTheChosenChip) {
  Create(6200);
  cat->CategoryClicked(0);
  gApp.ChipName = "AT27C512R";
  cat->FillManufacturerList();
  EXPECT_EQ(cat->chips.selected, 1);
  gApp.ChipName = "NOT-LISTED";
  cat->FillManufacturerList();
  EXPECT_EQ(cat->chips.selected, -1);
}

TEST_F(ChipCatalogueTest, PrepareOffersTheCategoriesOfTheModel) {
  Create(5107, "device5107.lst");
  cat->categoryItem = 7;  // remembered item that this model does not offer
  cat->PrepareChipDialog();
  EXPECT_EQ(cat->categories.size(), 7u);
  EXPECT_EQ(cat->categoryItem, 0);
  EXPECT_EQ(cat->categoryTag, "EPR");

  gApp.Reset();
  gApp.ProgramDir = dir.string();
  Create(57, "device57.lst");
  cat->PrepareChipDialog();
  EXPECT_EQ(cat->categoryItem, 7);
  EXPECT_EQ(cat->categoryTag, "ISP");
  EXPECT_TRUE(cat->manufacturers.items.empty());
}

}  // namespace chip_catalogue_test
}  // namespace zelvar
