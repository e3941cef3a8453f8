#include "transfer/store_location.h"

#include "platform/environment.h"

namespace korvant {

std::string StoreHost() {
  return platform::EnvironmentValue("KORVANT_STORE_HOST").value_or(KORVANT_STORE_HOST);
}

std::string StoreHostKeySha256() {
  return platform::EnvironmentValue("KORVANT_STORE_HOSTKEY_SHA256")
      .value_or(KORVANT_STORE_HOSTKEY_SHA256);
}

}  // namespace korvant
