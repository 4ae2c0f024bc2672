# The Windows edition's program resources (manifest, icon, version) and its
# installer and portable zip. Included by cmake/windows.cmake.
