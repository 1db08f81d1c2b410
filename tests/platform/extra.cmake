# Damaged-hive check: the hive readers built with the sanitizers, outside the main test binary.
set(BRX_HIVE_DAMAGE_SOURCES
  ${CMAKE_CURRENT_SOURCE_DIR}/platform/damage/hive_damage_check.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/Registry.cpp
  ${PROJECT_SOURCE_DIR}/src/platform/Utf.cpp)
file(GLOB BRX_REGF_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/platform/hosted/regf/*.cpp)
add_executable(hive_damage_check ${BRX_HIVE_DAMAGE_SOURCES} ${BRX_REGF_SOURCES})
target_include_directories(hive_damage_check PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_options(hive_damage_check PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -g)
target_link_options(hive_damage_check PRIVATE -fsanitize=address,undefined)
target_link_libraries(hive_damage_check PRIVATE PkgConfig::HIVEX)
add_test(NAME HiveDamage.EveryDamagedHiveIsCopiedOrRefused COMMAND hive_damage_check ${CMAKE_CURRENT_BINARY_DIR})
