# The store reads and writes real mail through GMime 3.
pkg_check_modules(GMIME REQUIRED IMPORTED_TARGET gmime-3.0)
target_link_libraries(host PUBLIC PkgConfig::GMIME)
