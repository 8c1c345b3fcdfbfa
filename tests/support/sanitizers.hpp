#pragma once

// Whether this tree is built with AddressSanitizer or ThreadSanitizer, which
// hold freed memory back and make every pass of a loop cost more. gcc says so
// with __SANITIZE_*__, clang through __has_feature.

namespace tevo::test {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kUnderSanitizers = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
inline constexpr bool kUnderSanitizers = true;
#else
inline constexpr bool kUnderSanitizers = false;
#endif
#else
inline constexpr bool kUnderSanitizers = false;
#endif

} // namespace tevo::test
