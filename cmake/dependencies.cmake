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
