// Helpers shared by the display tests.
#pragma once

#include <iconv.h>

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>

#include "display/LCDControl_COM.h"
#include "runtime/Exception.h"

// UTF-8 text in Windows-1251, converted by glibc rather than by anything of ours, so that the
// expected bytes do not share a mistake with the code under test.
inline std::string Cp1251(const std::string& utf8) {
  iconv_t cd = iconv_open("CP1251", "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv has no CP1251");
  std::string in = utf8, out(utf8.size(), '\0');
  char* src = in.data();
  char* dst = out.data();
  std::size_t srcLeft = in.size(), dstLeft = out.size();
  const std::size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
  iconv_close(cd);
  if (rc == static_cast<std::size_t>(-1) || srcLeft != 0) throw std::runtime_error("not convertible: " + utf8);
  out.resize(out.size() - dstLeft);
  return out;
}

inline std::string Bytes(std::initializer_list<std::uint8_t> bytes) {
  std::string s;
  for (std::uint8_t b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

inline std::string OpenFailureMessage(const std::string& port) {
  return Cp1251("Ошибка при открытии последовательного порта (" + port + ")!");
}

inline const std::uint8_t Pattern[8] = {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00};

// The failure a control reports when it cannot open its display: the general Exception, not
// the port's own, naming the port.
#define EXPECT_OPEN_FAILURE(statement, port)                                                   \
  do {                                                                                         \
    try {                                                                                      \
      statement;                                                                               \
      ADD_FAILURE() << #statement " raised nothing";                                           \
    } catch (const EComPort& e) {                                                              \
      ADD_FAILURE() << #statement " let the port's exception through: " << e.what();           \
    } catch (const Exception& e) {                                                             \
      EXPECT_EQ(e.Message(), OpenFailureMessage(port));                                        \
    }                                                                                          \
  } while (false)
