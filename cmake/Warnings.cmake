# One warnings target shared by every library, program and test of the project.
add_library(korvane_warnings INTERFACE)
if(MSVC)
    target_compile_options(korvane_warnings INTERFACE /W4)
    if(KORVANE_WERROR)
        target_compile_options(korvane_warnings INTERFACE /WX)
    endif()
else()
    target_compile_options(korvane_warnings INTERFACE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast
        -Wcast-align -Woverloaded-virtual -Wnull-dereference -Wimplicit-fallthrough
        -Wno-missing-field-initializers)
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        # GCC 12 reports overlapping copies inside its own std::string code at -O3 (GCC bug
        # 105329), which the MinGW build's Release optimisation meets.
        target_compile_options(korvane_warnings INTERFACE -Wno-restrict)
    endif()
    if(KORVANE_WERROR)
        target_compile_options(korvane_warnings INTERFACE -Werror)
    endif()
endif()

if(KORVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
