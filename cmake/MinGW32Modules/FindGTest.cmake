# GoogleTest for the cross build. Debian installs it built for this machine
# only, together with its sources: those are built here with the cross
# compiler, so that the unit tests run under the emulator too.
set(GoogleTestSource /usr/src/googletest/googletest)
if(NOT TARGET GTest::gtest AND EXISTS ${GoogleTestSource}/src/gtest-all.cc)
  add_library(GoogleTest STATIC ${GoogleTestSource}/src/gtest-all.cc)
  target_include_directories(GoogleTest SYSTEM PUBLIC ${GoogleTestSource}/include
                             PRIVATE ${GoogleTestSource})
  # Not our code: its warnings are not ours to fail on.
  target_compile_options(GoogleTest PRIVATE -w)
  add_library(GTest::gtest ALIAS GoogleTest)
  add_library(GoogleTestMain STATIC ${CMAKE_CURRENT_LIST_DIR}/GTestMain.cpp)
  target_link_libraries(GoogleTestMain PUBLIC GoogleTest)
  add_library(GTest::gtest_main ALIAS GoogleTestMain)
endif()

include(FindPackageHandleStandardArgs)
if(TARGET GTest::gtest)
  set(GTestBuiltFrom ${GoogleTestSource})
endif()
find_package_handle_standard_args(GTest REQUIRED_VARS GTestBuiltFrom)
