# The package file for find_package(Kerfmate), and the module's wordings as data.
include(CMakePackageConfigHelpers)
set(config_dir ${CMAKE_INSTALL_LIBDIR}/cmake/Kerfmate)
set(KERFMATE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kerfmate)
install(EXPORT KerfmateTargets NAMESPACE Kerfmate:: DESTINATION ${config_dir})
configure_package_config_file(cmake/KerfmateConfig.cmake.in KerfmateConfig.cmake
    INSTALL_DESTINATION ${config_dir} PATH_VARS KERFMATE_DATA_DIR)
# Before 1.0 a minor version may change the records.
write_basic_package_version_file(KerfmateConfigVersion.cmake COMPATIBILITY SameMinorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/KerfmateConfig.cmake ${CMAKE_CURRENT_BINARY_DIR}/KerfmateConfigVersion.cmake
    DESTINATION ${config_dir})

# The translator has them built in; a laser program with a translator of its
# own needs the module's keys and wordings as files.
install(DIRECTORY sdk/translator/catalogues/ DESTINATION ${KERFMATE_DATA_DIR}/i18n FILES_MATCHING PATTERN "*.json")
