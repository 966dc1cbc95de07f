// filled in by the bitmap work
