# Windows code page 936 as a table generated from ICU's windows-936-2000 converter at build
# time, for the builds that have no ICU (the web page), and for the test that holds the
# table equal to ICU. The generator runs on the build machine: in a cross build it is
# compiled there with the machine's own compiler and ICU.
set(code_page_936_source ${PROJECT_SOURCE_DIR}/tools/code_page_936/make_code_page_936.cpp)
set(code_page_936_generated ${CMAKE_BINARY_DIR}/generated)
if(CMAKE_CROSSCOMPILING)
    find_program(MARDOVANE_HOST_CXX NAMES c++ g++ REQUIRED)
    set(code_page_936_generator ${CMAKE_BINARY_DIR}/host/make-code-page-936)
    add_custom_command(OUTPUT ${code_page_936_generator}
                       COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
                       COMMAND ${MARDOVANE_HOST_CXX} -std=c++20 -O1 -o ${code_page_936_generator}
                               ${code_page_936_source} -licuuc
                       DEPENDS ${code_page_936_source}
                       COMMENT "Building make-code-page-936 for the build machine")
else()
    add_executable(make-code-page-936 ${code_page_936_source})
    find_package(ICU REQUIRED COMPONENTS uc)
    target_link_libraries(make-code-page-936 PRIVATE ICU::uc mardovane_warnings)
    set(code_page_936_generator make-code-page-936)
endif()
add_custom_command(OUTPUT ${code_page_936_generated}/code_page_936_table.inc
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${code_page_936_generated}
                   COMMAND ${code_page_936_generator}
                           ${code_page_936_generated}/code_page_936_table.inc
                   DEPENDS ${code_page_936_generator}
                   COMMENT "Generating code page 936 from ICU")
add_library(code_page_936 STATIC ${PROJECT_SOURCE_DIR}/substitution/code_page_936.cpp
                                 ${code_page_936_generated}/code_page_936_table.inc)
mardovane_export_headers(code_page_936 substitution)
target_include_directories(code_page_936 PRIVATE ${code_page_936_generated})
target_compile_features(code_page_936 PUBLIC cxx_std_20)
target_link_libraries(code_page_936 PRIVATE mardovane_warnings)
