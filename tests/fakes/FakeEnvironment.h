// The registry, the device inventory and the connection check of a native test: plain tables
// that a test fills, recording what the wizard asked.
#pragma once

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/ConnectionCheck.h"
#include "platform/DeviceInventory.h"
#include "platform/Registry.h"

namespace revivix::test {

// HKEY_LOCAL_MACHINE as a map from (key path, value name) to the value.
class FakeRegistry : public Registry {
 public:
  RegistryValue LocalMachineValue(const std::wstring& keyPath, const std::wstring& name) override {
    const auto it = values.find({keyPath, name});
    return it == values.end() ? RegistryValue{} : it->second;
  }
  void SetText(const std::wstring& keyPath, const std::wstring& name, const std::wstring& text) {
    values[{keyPath, name}] = {RegistryValue::Kind::Text, text, 0};
  }
  void SetNumber(const std::wstring& keyPath, const std::wstring& name, std::uint32_t number) {
    values[{keyPath, name}] = {RegistryValue::Kind::Number, L"", number};
  }
  std::map<std::pair<std::wstring, std::wstring>, RegistryValue> values;
};

// The devices of the computer, in the order the inventory lists them.
class FakeDeviceInventory : public DeviceInventory {
 public:
  std::vector<DeviceEntry> Devices() override {
    ++reads;
    if (fails) throw std::runtime_error("the device inventory cannot be read");
    return devices;
  }
  std::vector<DeviceEntry> devices;
  bool fails = false;
  int reads = 0;
};

// Servers that answer: an address can be connected to directly when it starts with one of
// `reachable`, and its request is answered, after `answerDelayMs`, when it starts with one of
// `answering` (the way through the proxy). An answer later than the caller's limit is none.
class FakeConnectionCheck : public ConnectionCheck {
 public:
  bool CanConnect(const std::wstring& url) override {
    checked.push_back(url);
    return StartsWithOneOf(url, reachable);
  }
  bool RequestAnswers(const std::wstring& url, int limitMs) override {
    requests.push_back({url, limitMs});
    return StartsWithOneOf(url, answering) && answerDelayMs <= limitMs;
  }
  struct Request {
    std::wstring url;
    int limitMs;
  };
  std::set<std::wstring> reachable;
  std::set<std::wstring> answering;
  int answerDelayMs = 0;
  std::vector<std::wstring> checked;
  std::vector<Request> requests;

 private:
  static bool StartsWithOneOf(const std::wstring& url, const std::set<std::wstring>& prefixes) {
    for (const std::wstring& prefix : prefixes)
      if (url.rfind(prefix, 0) == 0) return true;
    return false;
  }
};

}  // namespace revivix::test
