// lumivane-bench-maildir DIR [MESSAGES] [PICTURES] [KB]
//
// Writes a synthetic Maildir: MESSAGES messages (default 200), each with
// PICTURES JPEG attachments (default 4) of about KB kilobytes (default 300),
// base64 in 76-character lines. The same arguments give the same bytes.
// Every attachment has a name of its own, so saving them all meets no
// conflict.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "bench/synthetic.h"

int main(int argc, char** argv) {
  if (argc < 2 || argc > 5) {
    std::cerr << "usage: lumivane-bench-maildir DIR [MESSAGES] [PICTURES] [KB]\n";
    return 2;
  }
  bench::Shape shape;
  try {
    if (argc > 2) shape.messages = std::stoi(argv[2]);
    if (argc > 3) shape.pictures = std::stoi(argv[3]);
    if (argc > 4) shape.kilobytes = std::stoi(argv[4]);
  } catch (...) {
    std::cerr << "lumivane-bench-maildir: the counts must be numbers\n";
    return 2;
  }
  if (shape.messages < 1 || shape.pictures < 0 || shape.kilobytes < 1) {
    std::cerr << "lumivane-bench-maildir: the counts must be positive\n";
    return 2;
  }
  try {
    const auto bytes = bench::WriteMaildir(argv[1], shape);
    std::cout << "wrote " << shape.messages << " messages with " << shape.pictures << " pictures of " << shape.kilobytes
              << " KB each to " << argv[1] << " (" << bytes / (1024ULL * 1024ULL) << " MB)\n";
  } catch (const std::exception& e) {
    std::cerr << "lumivane-bench-maildir: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
