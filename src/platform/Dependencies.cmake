# The picture loader reads EXIF properties with exiv2.
pkg_check_modules(EXIV2 REQUIRED IMPORTED_TARGET exiv2)
target_link_libraries(platform PUBLIC PkgConfig::EXIV2)
