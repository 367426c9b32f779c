# setup.exe, its demo disc and the tests that drive it on Wine.
enable_language(RC)

# Every program here runs on a bare Windows: no runtime DLLs beside it. The image carries the
# system's exploit mitigations: ASLR with its relocations, DEP, and a stack canary.
# Unused functions and data are dropped at link time.
add_compile_options(-fstack-protector-strong -ffunction-sections -fdata-sections)
set(TOLVEX_WINDOWS_LINK_OPTIONS -static -municode -fstack-protector-strong
    -Wl,--dynamicbase -Wl,--nxcompat -Wl,--enable-reloc-section -Wl,--strip-debug -Wl,--gc-sections)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  list(APPEND TOLVEX_WINDOWS_LINK_OPTIONS -Wl,--high-entropy-va)
endif()

add_library(ui STATIC
  ui/AnsiText.cpp
  ui/DesktopPlatform.cpp
  ui/DllSearch.cpp
  ui/MainWindow.cpp
  ui/ShellExecuteBinding.cpp)
target_link_libraries(ui PUBLIC launcher)
target_compile_definitions(ui PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

set(TOLVEX_DISC_DIR ${CMAKE_SOURCE_DIR}/build/disc CACHE PATH "Where the disc's root is assembled")
set(TOLVEX_INSTALLERS_DIR "" CACHE PATH
    "A folder holding the real Setup_QZ-7400.exe and SimvaraSetup.exe; empty puts the stand-ins on the disc")

add_executable(setup WIN32 app/Main.cpp app/LibraryErrors.cpp app/setup.rc)
target_link_libraries(setup PRIVATE ui)
target_link_options(setup PRIVATE ${TOLVEX_WINDOWS_LINK_OPTIONS})
target_include_directories(setup PRIVATE ${CMAKE_SOURCE_DIR})
set_property(SOURCE app/setup.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/app/setup.manifest
  ${CMAKE_SOURCE_DIR}/app/res/banner.bmp
  ${CMAKE_SOURCE_DIR}/app/res/icon30001.bin
  ${CMAKE_SOURCE_DIR}/app/res/icongroup1.bin)
set_target_properties(setup PROPERTIES OUTPUT_NAME setup)

function(tolvex_add_standin target product file_name)
  add_executable(${target} WIN32 demo/StandInInstaller.cpp)
  target_compile_definitions(${target} PRIVATE "STANDIN_PRODUCT=L\"${product}\"" UNICODE _UNICODE)
  target_link_options(${target} PRIVATE ${TOLVEX_WINDOWS_LINK_OPTIONS})
  set_target_properties(${target} PROPERTIES OUTPUT_NAME ${file_name})
endfunction()
tolvex_add_standin(standin_qz7400 "QZ-7400 terminal software" Setup_QZ-7400)
tolvex_add_standin(standin_simvara "Simvara software" SimvaraSetup)

# The disc's root: the menu, its autorun.inf and the two installers.
if(TOLVEX_INSTALLERS_DIR)
  set(TOLVEX_QZ7400_INSTALLER ${TOLVEX_INSTALLERS_DIR}/Setup_QZ-7400.exe)
  set(TOLVEX_SIMVARA_INSTALLER ${TOLVEX_INSTALLERS_DIR}/SimvaraSetup.exe)
else()
  set(TOLVEX_QZ7400_INSTALLER $<TARGET_FILE:standin_qz7400>)
  set(TOLVEX_SIMVARA_INSTALLER $<TARGET_FILE:standin_simvara>)
endif()
add_custom_target(disc ALL
  COMMAND ${CMAKE_COMMAND} -E make_directory ${TOLVEX_DISC_DIR}
  COMMAND ${CMAKE_STRIP} --strip-all -o ${TOLVEX_DISC_DIR}/setup.exe $<TARGET_FILE:setup>
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/demo/autorun.inf ${TOLVEX_DISC_DIR}/autorun.inf
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TOLVEX_QZ7400_INSTALLER} ${TOLVEX_DISC_DIR}/Setup_QZ-7400.exe
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${TOLVEX_SIMVARA_INSTALLER} ${TOLVEX_DISC_DIR}/SimvaraSetup.exe
  DEPENDS setup standin_qz7400 standin_simvara
  COMMENT "Assembling the disc in ${TOLVEX_DISC_DIR}")

# The burnable disc image: ISO 9660 with Joliet names, labelled PENWICK.
set(TOLVEX_DISC_IMAGE ${CMAKE_BINARY_DIR}/penwick-disc.iso CACHE FILEPATH "Where the disc image is written")
find_program(TOLVEX_XORRISO xorriso REQUIRED)
add_custom_command(OUTPUT ${TOLVEX_DISC_IMAGE}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${TOLVEX_DISC_IMAGE}
  COMMAND ${TOLVEX_XORRISO} -as mkisofs -quiet -J -joliet-long -iso-level 2 -V PENWICK -o ${TOLVEX_DISC_IMAGE}
          ${TOLVEX_DISC_DIR}
  DEPENDS disc ${TOLVEX_DISC_DIR}/setup.exe
  COMMENT "Writing the disc image ${TOLVEX_DISC_IMAGE}")
add_custom_target(disc_image ALL DEPENDS ${TOLVEX_DISC_IMAGE})
add_test(NAME image.disc
  COMMAND ${CMAKE_SOURCE_DIR}/tests/image/check-disc-image.sh ${TOLVEX_DISC_IMAGE} ${TOLVEX_DISC_DIR})

# What the built file is, read back from it.
# The disc's copy is the linked program stripped of its symbols; the stack canary is looked
# for in the linked one.
add_test(NAME image.setup
  COMMAND ${CMAKE_SOURCE_DIR}/tests/image/check-image.sh ${CMAKE_OBJDUMP} ${TOLVEX_DISC_DIR}/setup.exe
          $<TARGET_FILE:setup> $<IF:$<STREQUAL:${CMAKE_SYSTEM_PROCESSOR},x86_64>,pei-x86-64,pei-i386>)

# End to end on Wine: a driver of our own starts the real setup.exe and works it from outside.
option(TOLVEX_E2E "Run the end-to-end tests on Wine" OFF)
set(TOLVEX_EXTRA_RESOURCE_CHECK "" CACHE FILEPATH "Another setup.exe whose resources the tests read back")
if(TOLVEX_E2E)
  add_executable(tolvex_e2e tests/e2e/Scenarios.cpp tests/e2e/Harness.cpp tests/e2e/Resources.cpp
                 tests/e2e/Hardening.cpp)
  target_link_options(tolvex_e2e PRIVATE ${TOLVEX_WINDOWS_LINK_OPTIONS})
  target_link_libraries(tolvex_e2e PRIVATE ui version)
  target_include_directories(tolvex_e2e PRIVATE ${CMAKE_SOURCE_DIR})

  # DLLs that record being loaded, named after system DLLs, for the planted-DLL scenario.
  set(plants_dir ${CMAKE_BINARY_DIR}/plants)
  foreach(plant shell32 uxtheme dwmapi comctl32)
    add_library(plant_${plant} SHARED tests/e2e/PlantedDll.cpp)
    target_compile_definitions(plant_${plant} PRIVATE UNICODE _UNICODE)
    target_link_options(plant_${plant} PRIVATE -static -fstack-protector-strong)
    set_target_properties(plant_${plant} PROPERTIES OUTPUT_NAME ${plant} PREFIX "" RUNTIME_OUTPUT_DIRECTORY ${plants_dir})
    add_dependencies(tolvex_e2e plant_${plant})
  endforeach()
  set(windows_plants "Z:${plants_dir}")
  string(REPLACE "/" "\\" windows_plants "${windows_plants}")

  if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
    set(TOLVEX_WINE /usr/lib/wine/wine64)
  else()
    set(TOLVEX_WINE /usr/lib/wine/wine)
  endif()
  set(session ${CMAKE_SOURCE_DIR}/scripts/wine-session.sh)
  set(session_dir ${CMAKE_BINARY_DIR}/wine-session)
  set(windows_disc "Z:${TOLVEX_DISC_DIR}")
  string(REPLACE "/" "\\" windows_disc "${windows_disc}")

  add_test(NAME e2e.session.start COMMAND ${session} start ${session_dir})
  add_test(NAME e2e.session.stop COMMAND ${session} stop ${session_dir})
  set_tests_properties(e2e.session.start PROPERTIES FIXTURES_SETUP wine)
  set_tests_properties(e2e.session.stop PROPERTIES FIXTURES_CLEANUP wine)

  set(resource_targets "${windows_disc}\\setup.exe")
  if(TOLVEX_EXTRA_RESOURCE_CHECK)
    set(extra "Z:${TOLVEX_EXTRA_RESOURCE_CHECK}")
    string(REPLACE "/" "\\" extra "${extra}")
    list(APPEND resource_targets "${extra}")
  endif()
  set(index 0)
  foreach(target IN LISTS resource_targets)
    add_test(NAME e2e.resources.${index} COMMAND ${session} run ${session_dir} $<TARGET_FILE:tolvex_e2e> resources ${target})
    set_tests_properties(e2e.resources.${index} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT TOLVEX_WINE=${TOLVEX_WINE})
    math(EXPR index "${index} + 1")
  endforeach()

  add_test(NAME e2e.planted-dlls
           COMMAND ${session} run ${session_dir} $<TARGET_FILE:tolvex_e2e> planted-dlls ${windows_disc} ${windows_plants})
  set_tests_properties(e2e.planted-dlls PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT TOLVEX_WINE=${TOLVEX_WINE}
                       TIMEOUT 300)

  foreach(scenario window controls layout keyboard focus inert launch-root launch-folders exit two-menus
                   unrepresentable-folder shell-binding second-drive long-path missing-installer click-burst)
    add_test(NAME e2e.${scenario} COMMAND ${session} run ${session_dir} $<TARGET_FILE:tolvex_e2e> ${scenario} ${windows_disc})
    set_tests_properties(e2e.${scenario} PROPERTIES FIXTURES_REQUIRED wine ENVIRONMENT TOLVEX_WINE=${TOLVEX_WINE}
                         TIMEOUT 300)
  endforeach()
  set_tests_properties(e2e.session.start e2e.session.stop PROPERTIES ENVIRONMENT TOLVEX_WINE=${TOLVEX_WINE})
  set_tests_properties(e2e.layout PROPERTIES LABELS dpi96)

  # The same layout at higher display densities, each in a session of its own.
  foreach(dpi 120 144)
    set(dpi_session ${CMAKE_BINARY_DIR}/wine-session-${dpi}dpi)
    add_test(NAME e2e.dpi${dpi}.session.start COMMAND ${session} start ${dpi_session})
    add_test(NAME e2e.dpi${dpi}.session.stop COMMAND ${session} stop ${dpi_session})
    add_test(NAME e2e.dpi${dpi}.layout
             COMMAND ${session} run ${dpi_session} $<TARGET_FILE:tolvex_e2e> layout ${windows_disc})
    set_tests_properties(e2e.dpi${dpi}.session.start PROPERTIES FIXTURES_SETUP wine${dpi}
                         ENVIRONMENT "TOLVEX_WINE=${TOLVEX_WINE};TOLVEX_DPI=${dpi}")
    set_tests_properties(e2e.dpi${dpi}.session.stop PROPERTIES FIXTURES_CLEANUP wine${dpi}
                         ENVIRONMENT TOLVEX_WINE=${TOLVEX_WINE})
    set_tests_properties(e2e.dpi${dpi}.layout PROPERTIES FIXTURES_REQUIRED wine${dpi}
                         ENVIRONMENT TOLVEX_WINE=${TOLVEX_WINE} TIMEOUT 300)
  endforeach()
endif()

# The benchmark's programs: a reference window built like setup.exe, and the probe that
# measures both from outside. scripts/benchmark.sh runs them.
add_executable(reference_window WIN32 tests/bench/ReferenceWindow.cpp tests/bench/reference.rc)
target_link_options(reference_window PRIVATE ${TOLVEX_WINDOWS_LINK_OPTIONS})
target_include_directories(reference_window PRIVATE ${CMAKE_SOURCE_DIR}/app)
target_compile_definitions(reference_window PRIVATE UNICODE _UNICODE)
add_executable(startup_probe tests/bench/StartupProbe.cpp)
target_link_options(startup_probe PRIVATE ${TOLVEX_WINDOWS_LINK_OPTIONS})
target_link_libraries(startup_probe PRIVATE psapi)
