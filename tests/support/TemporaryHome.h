// A HOME of the test's own for the lifetime of the object, so settings files and the user's
// folders are the test's; the real ones are put back afterwards.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

class TemporaryHome {
 public:
  TemporaryHome() {
    static int serial = 0;
    path_ = std::filesystem::temp_directory_path() /
            ("home-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
    std::filesystem::create_directories(path_);
    Save("HOME", home_);
    Save("XDG_CONFIG_HOME", config_);
    setenv("HOME", path_.c_str(), 1);
    unsetenv("XDG_CONFIG_HOME");
  }
  ~TemporaryHome() {
    Restore("HOME", home_);
    Restore("XDG_CONFIG_HOME", config_);
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TemporaryHome(const TemporaryHome&) = delete;
  TemporaryHome& operator=(const TemporaryHome&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path SettingsFile() const { return path_ / "Documents" / "Vantorix3.ini"; }
  void WriteSettings(const std::string& contents) const {
    std::filesystem::create_directories(SettingsFile().parent_path());
    std::ofstream(SettingsFile(), std::ios::binary) << contents;
  }
  std::optional<std::string> ReadSettings() const {
    std::ifstream in(SettingsFile(), std::ios::binary);
    if (!in) return std::nullopt;
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  static void Save(const char* name, std::optional<std::string>& into) {
    if (const char* value = getenv(name)) into = value;
  }
  static void Restore(const char* name, const std::optional<std::string>& value) {
    if (value)
      setenv(name, value->c_str(), 1);
    else
      unsetenv(name);
  }

  std::filesystem::path path_;
  std::optional<std::string> home_, config_;
};
