# Copies the product's CHM help files next to its setup.exe (run at build time, so help
# files produced during the build are found).
file(GLOB help_files "${SOURCE}/*.chm")
foreach(f ${help_files})
  file(COPY ${f} DESTINATION ${TARGET})
endforeach()
