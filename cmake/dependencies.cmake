# SQLite, GoogleTest and Google Benchmark: Debian's packages natively; for
# the Windows builds SQLite is compiled from the amalgamation that
# scripts/setup.sh makes from Debian's source package, and GoogleTest from
# Debian's sources in /usr/src/googletest.
if(WIN32)
  # The mingw runtime is linked in, so the programs import only system DLLs
  # (and sqlite3.dll).
  add_link_options(-static -static-libgcc -static-libstdc++)
  add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

  set(default_sqlite_dir "$ENV{QUORVA_SQLITE_DIR}")
  if(NOT default_sqlite_dir)
    set(default_sqlite_dir "$ENV{HOME}/.cache/quorva/sqlite")
  endif()
  set(QUORVA_SQLITE_DIR "${default_sqlite_dir}" CACHE PATH "Folder holding the SQLite amalgamation")
  if(NOT EXISTS "${QUORVA_SQLITE_DIR}/sqlite3.c")
    message(FATAL_ERROR "SQLite amalgamation not found in '${QUORVA_SQLITE_DIR}': run scripts/setup.sh")
  endif()
  add_library(sqlite3 SHARED ${QUORVA_SQLITE_DIR}/sqlite3.c)
  set_target_properties(sqlite3 PROPERTIES PREFIX "" C_VISIBILITY_PRESET default)
  target_compile_definitions(sqlite3 PRIVATE
    "SQLITE_API=__declspec(dllexport)" SQLITE_THREADSAFE=1 SQLITE_DEFAULT_FOREIGN_KEYS=0)
  target_compile_options(sqlite3 PRIVATE -w -O2)
  # SQLite reads a page at a time. With an OVERLAPPED offset every read also
  # posts a completion, which under Wine is a round trip to the wineserver: a
  # reload of 100,000 records made 12,000 of them and took five times as long.
  # Seeking and reading plainly is the same file access without that.
  target_compile_definitions(sqlite3 PRIVATE SQLITE_WIN32_NO_OVERLAPPED)
  target_include_directories(sqlite3 INTERFACE ${QUORVA_SQLITE_DIR})
  add_library(SQLite::SQLite3 ALIAS sqlite3)

  if(QUORVA_TESTS)
    set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
    set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
    add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  endif()
else()
  find_package(SQLite3 REQUIRED)
  if(QUORVA_TESTS)
    find_package(GTest REQUIRED)
  endif()
  if(QUORVA_BENCH)
    find_package(benchmark REQUIRED)
  endif()
  find_package(Iconv)
endif()

# ODBC: the system's odbc32 for the Windows builds, unixODBC natively.
if(WIN32)
  add_library(ODBC::ODBC INTERFACE IMPORTED)
  set_target_properties(ODBC::ODBC PROPERTIES INTERFACE_LINK_LIBRARIES odbc32)
else()
  find_package(ODBC REQUIRED)
endif()

# libxlsxwriter, libzip and pugixml, with zlib: the approval form and the list
# export write their files without an office suite. Natively Debian's
# packages; for the Windows builds the static libraries that scripts/setup.sh
# builds from Debian's source packages, so the programs still import only
# system DLLs.
add_library(quorva_office_formats INTERFACE)
if(WIN32)
  set(default_office_dir "$ENV{QUORVA_CACHE}")
  if(NOT default_office_dir)
    set(default_office_dir "$ENV{HOME}/.cache/quorva")
  endif()
  set(QUORVA_OFFICE_DIR "${default_office_dir}/office/${QUORVA_MINGW_TRIPLE}" CACHE PATH
      "Folder holding libxlsxwriter, libzip and pugixml built for this target")
  set(office_libraries xlsxwriter zip pugixml)
  list(TRANSFORM office_libraries PREPEND "${QUORVA_OFFICE_DIR}/lib/lib")
  list(TRANSFORM office_libraries APPEND ".a")
  foreach(library IN LISTS office_libraries)
    if(NOT EXISTS "${library}")
      message(FATAL_ERROR "'${library}' not found: run scripts/setup.sh")
    endif()
  endforeach()
  target_include_directories(quorva_office_formats SYSTEM INTERFACE "${QUORVA_OFFICE_DIR}/include")
  target_compile_definitions(quorva_office_formats INTERFACE ZIP_STATIC)
  # libz.a by its path: the import library beside it would add zlib1.dll.
  target_link_libraries(quorva_office_formats INTERFACE
    ${office_libraries} "${CMAKE_FIND_ROOT_PATH}/lib/libz.a" advapi32 bcrypt)
else()
  find_package(PkgConfig REQUIRED)
  # By pkg-config: Debian's CMake files for libzip also want its tools.
  pkg_check_modules(office_formats REQUIRED IMPORTED_TARGET xlsxwriter libzip pugixml)
  target_link_libraries(quorva_office_formats INTERFACE PkgConfig::office_formats)
endif()
