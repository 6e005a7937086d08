# bash completion for vornel-path: commands, options, the DIR of --cwd as cd
# completes it, and file names for the PATH operands; after '--' only file
# names. Bash splits '--cwd=DIR' into three words: '--cwd', '=' and DIR.
_vornel_path() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} word command= at=0 i
  local commands='parts parent filename stem extension root is-absolute normal
    absolute relative proximate is-within common join concat remove-filename
    replace-filename replace-extension compare hash help'
  local options='-0 --null -z --zero --json --lexical --cwd -h --help --version'
  local ended=
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ -z $ended && $word == --cwd ]]; then
      [[ ${COMP_WORDS[i+1]} == = ]] && ((i++))
      ((i++))  # its DIR
    elif [[ $word == -- ]]; then
      ended=1
    elif [[ -z $command && ( -n $ended || $word != -* ) ]]; then
      command=$word at=$i
    fi
  done
  if [[ -z $ended && ( $prev == --cwd ||
        ( $prev == = && ${COMP_WORDS[COMP_CWORD-2]} == --cwd ) ) ]]; then
    [[ $cur == = ]] && cur=
    # Directories with their '/', and no space after: the next name follows.
    compopt -o filenames -o nospace 2> /dev/null
    COMPREPLY=($(compgen -d -S / -- "$cur"))
  elif [[ -z $ended && $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  elif [[ -z $command || ($command == help && $COMP_CWORD == $((at + 1))) ]]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
  else
    COMPREPLY=()  # -o default: file names
  fi
}
complete -o default -F _vornel_path vornel-path
