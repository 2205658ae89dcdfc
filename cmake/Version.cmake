# The one version of the program is the project's version. Windows wants four numbers (version
# resource, manifest, installer): missing parts count as 0.
set(version_numbers ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR} ${PROJECT_VERSION_PATCH}
    ${PROJECT_VERSION_TWEAK})
foreach(part MAJOR MINOR PATCH TWEAK)
  set(number 0)
  if(version_numbers)
    list(POP_FRONT version_numbers number)
  endif()
  set(REVIVIX_VERSION_${part} ${number})
endforeach()
set(REVIVIX_VERSION_QUAD
    ${REVIVIX_VERSION_MAJOR}.${REVIVIX_VERSION_MINOR}.${REVIVIX_VERSION_PATCH}.${REVIVIX_VERSION_TWEAK})
