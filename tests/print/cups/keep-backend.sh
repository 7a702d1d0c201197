#!/bin/sh
# A print backend that keeps each job as a file: the device URI keep:FOLDER
# names the folder; job N becomes FOLDER/job-N.pdf (written under another
# name first, so a file that is there is complete), its title goes into
# FOLDER/job-N.title, its number of copies and its options (as the server
# hands them to the backend) into FOLDER/job-N.copies and FOLDER/job-N.options.
if [ $# -eq 0 ]; then
  echo 'file keep "Unknown" "Keeps each job as a file"'
  exit 0
fi
folder=${DEVICE_URI#keep:}
target="$folder/job-$1.pdf"
if [ $# -ge 6 ]; then
  cat "$6" > "$target.part" || exit 1
else
  cat > "$target.part" || exit 1
fi
printf '%s\n' "$4" > "$folder/job-$1.copies"
printf '%s\n' "$5" > "$folder/job-$1.options"
printf '%s\n' "$3" > "$folder/job-$1.title"
chmod 644 "$target.part" "$folder/job-$1.title" "$folder/job-$1.copies" "$folder/job-$1.options"
mv "$target.part" "$target" || exit 1
exit 0
