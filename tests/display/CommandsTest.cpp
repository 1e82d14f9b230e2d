// What a display control sends, over the recording fake platform.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "tests/display/DisplayTestSupport.h"
#include "tests/support/FakePlatform.h"
#include "tests/support/PseudoTerminal.h"

namespace {

using Writes = std::vector<std::string>;

const std::string StartUp = Bytes({0xFE, 0xC0, 0x0C});

class CommandsTest : public ::testing::Test {
 protected:
  void Activate() {
    lcd.SetActive(true);
    ASSERT_TRUE(lcd.GetActive());
    fake->ClearCalls();
  }

  fake::ScopedFakePlatform fake;
  TLCDControl_COM lcd{nullptr};
};

TEST_F(CommandsTest, NewControlIsInactiveOnAClosedCom2WithEightNoneOne) {
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_EQ(lcd.GetColCount(), 16);
  EXPECT_EQ(lcd.GetRowCount(), 2);
  EXPECT_EQ(lcd.Port(), "COM2");
  EXPECT_EQ(lcd.Baudate(), brCustom);
  TComPort* port = lcd.ComPort();
  EXPECT_EQ(port->Owner(), &lcd);
  EXPECT_FALSE(port->Connected());
  EXPECT_EQ(port->Port(), "COM2");
  EXPECT_EQ(port->DataBits(), dbEight);
  EXPECT_EQ(port->Parity()->Bits(), prNone);
  EXPECT_EQ(port->StopBits(), sbOneStopBit);
  EXPECT_EQ(port->BaudRate(), br9600);
  EXPECT_TRUE(lcd.GetVisible());
  EXPECT_TRUE(lcd.GetBackLight());
  EXPECT_TRUE(fake->Calls().empty());
}

TEST_F(CommandsTest, ActivationOpensCom2AndSendsOnlyTheStartUpString) {
  lcd.SetActive(true);
  EXPECT_TRUE(lcd.GetActive());
  ASSERT_EQ(fake->Opens().size(), 1u);
  EXPECT_EQ(fake->Opens()[0].name, "\\\\.\\COM2");
  EXPECT_EQ(fake->Writes(), Writes{StartUp});
}

TEST_F(CommandsTest, ActivatingAnActiveControlResendsTheStartUpStringWithoutReopening) {
  lcd.SetActive(true);
  lcd.SetActive(true);
  EXPECT_TRUE(lcd.GetActive());
  EXPECT_EQ(fake->CountOf("CreateFileA"), 1u);
  EXPECT_EQ(fake->Writes(), (Writes{StartUp, StartUp}));
}

TEST_F(CommandsTest, DeactivationClosesThePortAndSendsNothing) {
  Activate();
  lcd.SetActive(false);
  EXPECT_FALSE(lcd.GetActive());
  EXPECT_FALSE(lcd.ComPort()->Connected());
  EXPECT_TRUE(fake->Writes().empty());
  EXPECT_EQ(fake->OpenHandles(), 0u);
}

TEST_F(CommandsTest, ClearScreenSendsFe58) {
  Activate();
  lcd.ClearScreen();
  EXPECT_EQ(fake->Writes(), Writes{Bytes({0xFE, 0x58})});
}

TEST_F(CommandsTest, WriteAtWithEmptyTextSendsOnlyThePosition) {
  Activate();
  lcd.WriteAt(0x0A, 0xFF, "");
  EXPECT_EQ(fake->Writes(), Writes{Bytes({0xFE, 0x47, 0x0A, 0xFF})});
}

TEST_F(CommandsTest, WriteAtSendsThePositionThenEachTranslatedCharacterByItself) {
  Activate();
  const std::string privet = Cp1251("Привет");
  ASSERT_EQ(privet, Bytes({0xCF, 0xF0, 0xE8, 0xE2, 0xE5, 0xF2}));
  lcd.WriteAt(1, 2, privet);
  EXPECT_EQ(fake->Writes(), (Writes{Bytes({0xFE, 0x47, 0x01, 0x02}), Bytes({0xA8}), Bytes({0x70}), Bytes({0xB8}),
                                    Bytes({0xB3}), Bytes({0x65}), Bytes({0xBF})}));
}

TEST_F(CommandsTest, DefineCharSendsElevenBytesInOneWrite) {
  Activate();
  lcd.DefineChar(3, Pattern, 7);
  EXPECT_EQ(fake->Writes(), Writes{Bytes({0xFE, 0x4E, 0x03, 0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00})});
}

TEST_F(CommandsTest, DefineCharPadsAShortPatternWithEmptyRowsWithoutReadingPastIt) {
  Activate();
  for (int count : {1, 5}) {
    // Exactly `count` bytes on the heap, so that a read past them is caught by ASan.
    auto data = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) data[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(0x10 + i);
    lcd.DefineChar(0xFF, data.get(), count - 1);
  }
  EXPECT_EQ(fake->Writes(), (Writes{Bytes({0xFE, 0x4E, 0xFF, 0x10, 0, 0, 0, 0, 0, 0, 0}),
                                    Bytes({0xFE, 0x4E, 0xFF, 0x10, 0x11, 0x12, 0x13, 0x14, 0, 0, 0})}));
}

TEST_F(CommandsTest, DefineCharIgnoresPatternBytesPastTheEighth) {
  Activate();
  const std::uint8_t data[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  lcd.DefineChar(9, data, 9);
  EXPECT_EQ(fake->Writes(), Writes{Bytes({0xFE, 0x4E, 0x09, 1, 2, 3, 4, 5, 6, 7, 8})});
}

TEST_F(CommandsTest, InactiveControlSendsNothingAndRaisesNothing) {
  EXPECT_NO_THROW(lcd.ClearScreen());
  EXPECT_NO_THROW(lcd.WriteAt(1, 2, "text"));
  EXPECT_NO_THROW(lcd.DefineChar(3, Pattern, 7));
  lcd.SetVisible(false);
  lcd.SetBackLight(false);
  EXPECT_TRUE(lcd.GetVisible());
  EXPECT_TRUE(lcd.GetBackLight());
  EXPECT_TRUE(fake->Calls().empty());
}

TEST_F(CommandsTest, EveryCyrillicLetterReachesTheLineAsItsDisplayCode) {
  // Each letter with the code the display's character ROM shows it with.
  const std::vector<std::pair<const char*, std::uint8_t>> letters = {
      {"А", 0x41}, {"Б", 0xA0}, {"В", 0x42}, {"Г", 0xA1}, {"Д", 0xE0}, {"Е", 0x45}, {"Ё", 0xA2}, {"Ж", 0xA3},
      {"З", 0xA4}, {"И", 0xA5}, {"Й", 0xA6}, {"К", 0x4B}, {"Л", 0xA7}, {"М", 0x4D}, {"Н", 0x48}, {"О", 0x4F},
      {"П", 0xA8}, {"Р", 0x50}, {"С", 0x43}, {"Т", 0x54}, {"У", 0xA9}, {"Ф", 0xAA}, {"Х", 0x58}, {"Ц", 0xE1},
      {"Ч", 0xAB}, {"Ш", 0xAC}, {"Щ", 0xE2}, {"Ъ", 0xAD}, {"Ы", 0xAE}, {"Ь", 0xC4}, {"Э", 0xAF}, {"Ю", 0xB0},
      {"Я", 0xB1}, {"а", 0x61}, {"б", 0xB2}, {"в", 0xB3}, {"г", 0xB4}, {"д", 0xE3}, {"е", 0x65}, {"ё", 0xB5},
      {"ж", 0xB6}, {"з", 0xB7}, {"и", 0xB8}, {"й", 0xB9}, {"к", 0xBA}, {"л", 0xBB}, {"м", 0xBC}, {"н", 0xBD},
      {"о", 0x6F}, {"п", 0xBE}, {"р", 0x70}, {"с", 0x63}, {"т", 0xBF}, {"у", 0x79}, {"ф", 0xE4}, {"х", 0x78},
      {"ц", 0xE5}, {"ч", 0xC0}, {"ш", 0xC1}, {"щ", 0xE6}, {"ъ", 0xC2}, {"ы", 0xC3}, {"ь", 0xC4}, {"э", 0xC5},
      {"ю", 0xC6}, {"я", 0xC7},
  };
  ASSERT_EQ(letters.size(), 66u);
  std::string text;
  Writes expected{Bytes({0xFE, 0x47, 0, 0})};
  for (const auto& [utf8, code] : letters) {
    text += Cp1251(utf8);
    expected.push_back(std::string(1, static_cast<char>(code)));
  }
  // The letters are exactly the 64 codes C0..FF plus Ё and ё.
  std::string sorted = text;
  std::sort(sorted.begin(), sorted.end(), [](char a, char b) { return std::uint8_t(a) < std::uint8_t(b); });
  std::string all = Bytes({0xA8, 0xB8});
  for (int c = 0xC0; c <= 0xFF; ++c) all.push_back(static_cast<char>(c));
  EXPECT_EQ(Hex(sorted), Hex(all));

  Activate();
  lcd.WriteAt(0, 0, text);
  EXPECT_EQ(fake->Writes(), expected);
}

TEST(TranslateCharTest, ControlCodesSelectUserCharactersAndOtherNonLettersPassUnchanged) {
  for (int c = 0; c <= 31; ++c)
    EXPECT_EQ(TLCDControl_COM::TranslateChar(static_cast<std::uint8_t>(c)), static_cast<std::uint8_t>(c - 1)) << c;
  EXPECT_EQ(TLCDControl_COM::TranslateChar(0), 0xFF);
  EXPECT_EQ(TLCDControl_COM::TranslateChar(8), 0x07);
  for (int c = 32; c <= 191; ++c) {
    if (c == 0xA8 || c == 0xB8) continue;
    EXPECT_EQ(TLCDControl_COM::TranslateChar(static_cast<std::uint8_t>(c)), c) << c;
  }
}

}  // namespace
