# bash completion for vornel-path: commands, options, and file names for the
# PATH operands; after '--' only file names.
_vornel_path() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]} word command= at=0 i
  local commands='parts parent filename stem extension root is-absolute normal
    absolute relative proximate is-within common join concat remove-filename
    replace-filename replace-extension compare hash help'
  local options='-0 --null -z --zero --json --lexical --cwd -h --help --version'
  local ended=
  for ((i = 1; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $word == -- ]]; then
      ended=1
    elif [[ -z $ended && $word == --cwd ]]; then
      ((i++))  # its DIR
    elif [[ -z $command && ( -n $ended || $word != -* ) ]]; then
      command=$word at=$i
    fi
  done
  if [[ -z $ended && $prev == --cwd ]]; then
    COMPREPLY=($(compgen -d -- "$cur"))
  elif [[ -z $ended && $cur == -* ]]; then
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
  elif [[ -z $command || ($command == help && $COMP_CWORD == $((at + 1))) ]]; then
    COMPREPLY=($(compgen -W "$commands" -- "$cur"))
  else
    COMPREPLY=()  # -o default: file names
  fi
}
complete -o default -F _vornel_path vornel-path
