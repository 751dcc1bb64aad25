// The link check configures targets only; this source is never compiled.
