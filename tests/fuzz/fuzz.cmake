# libFuzzer targets over the picture loader's header reader and EXIF path,
# and over the mail layer (a whole message read, edited and saved; attachment names).
# Clang only; with the sanitizers, for example:
#   CC=clang CXX=clang++ cmake -B build-fuzz -G Ninja -DLUMIVANE_FUZZ=ON -DLUMIVANE_SANITIZE=ON
#   cmake --build build-fuzz --target fuzz_picture_header fuzz_picture_exif
#   mkdir -p fuzz-out/picture_header
#   build-fuzz/fuzz_picture_header -max_total_time=600 fuzz-out/picture_header tests/data/fuzz/picture_header
# New findings worth keeping go, minimised (-merge=1), to tests/data/fuzz/<target>/,
# which the regression tests in tests/platform/gdiplus and tests/host/mail replay.
if(NOT LUMIVANE_FUZZ)
  return()
endif()
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "LUMIVANE_FUZZ needs clang (libFuzzer)")
endif()
target_compile_options(platform PRIVATE -fsanitize=fuzzer-no-link)
target_compile_options(runtime PRIVATE -fsanitize=fuzzer-no-link)
target_compile_options(host PRIVATE -fsanitize=fuzzer-no-link)
foreach(target picture_header picture_exif mail_message attachment_name)
  add_executable(fuzz_${target} ${CMAKE_CURRENT_LIST_DIR}/${target}_fuzzer.cpp)
  lumivane_warnings(fuzz_${target})
  target_include_directories(fuzz_${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  target_link_libraries(fuzz_${target} PRIVATE platform host)
  target_compile_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
  target_link_options(fuzz_${target} PRIVATE -fsanitize=fuzzer)
endforeach()
