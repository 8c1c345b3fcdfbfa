# Instrumented builds that live in build trees of their own:
#   TEVO_FUZZ  the libFuzzer targets of fuzz/ (clang only), every library
#              compiled with coverage guards, AddressSanitizer and UBSan;
#   TEVO_TSAN  everything compiled with ThreadSanitizer, for the suites whose
#              code runs on more than one thread (GPS, plug-ins, application).
option(TEVO_FUZZ "Build the libFuzzer targets of fuzz/ (needs clang and its fuzzer runtime)" OFF)
option(TEVO_TSAN "Build with ThreadSanitizer" OFF)

if(TEVO_TSAN)
  if(TEVO_SANITIZE OR TEVO_FUZZ)
    message(FATAL_ERROR "TEVO_TSAN cannot be combined with TEVO_SANITIZE or TEVO_FUZZ")
  endif()
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# Set when fuzz/ is to be built; a compiler without the fuzzer runtime says so.
set(TEVO_FUZZ_READY OFF)
if(TEVO_FUZZ)
  include(CheckCXXSourceCompiles)
  set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,address,undefined")
  check_cxx_source_compiles([[
    #include <cstddef>
    #include <cstdint>
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, std::size_t) { return 0; }
  ]] TEVO_HAVE_LIBFUZZER)
  unset(CMAKE_REQUIRED_FLAGS)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang" AND TEVO_HAVE_LIBFUZZER)
    set(TEVO_FUZZ_READY ON)
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  else()
    message(WARNING "TEVO_FUZZ: ${CMAKE_CXX_COMPILER_ID} ${CMAKE_CXX_COMPILER_VERSION} has no "
                    "libFuzzer runtime (configure with CC=clang CXX=clang++ and install "
                    "libclang-rt-14-dev); the fuzz targets are skipped")
  endif()
endif()
