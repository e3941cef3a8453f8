#pragma once

#include <string>

namespace korvant {

// The store's host name (host or host:port), fixed when the program is built;
// KORVANT_STORE_HOST points tests, the demo and the benchmarks at a store on loopback.
std::string StoreHost();

// Base64 SHA-256 fingerprint of the store's host key; empty checks nothing.
// KORVANT_STORE_HOSTKEY_SHA256 overrides it, like the host.
std::string StoreHostKeySha256();

}  // namespace korvant
